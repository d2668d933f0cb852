#pragma once

#include "game/ArenaPiece.h"
#include "game/BulletSystem.h"
#include "game/Tank.h"
#include "particles/ParticleEffects.h"

#include <box2d/box2d.h>

#include <vector>

// The collision rules of a frame, run after everything has moved: tanks against each other and
// against the arena (undo the move, or learn the floor), bullets against tanks (a life, a burst)
// and against the arena (a burst). Footprints are compared with Box2D, heights by hand.
class CollisionDetector {
public:
    CollisionDetector(std::vector<Tank*>* tanks, std::vector<ArenaPiece*>* walls,
                      BulletSystem* bulletSystem, ParticleEffects* particles);

    void detect();

    std::vector<Tank*>* tanks;
    std::vector<ArenaPiece*>* walls;
    b2Manifold manifold; // reused by every test; only pointCount is read
    BulletSystem* bulletSystem;
    ParticleEffects* particles;

private:
    // Whether the footprints touch; Box2D's polygon radius makes boxes closer than 0.02 count.
    bool overlap(const CollisionBody& first, const CollisionBody& second);
    void detectTank(Tank& tank);
    void detectBullet(Bullet& bullet);
};

// The one collision detector of the game, created by the scene.
extern CollisionDetector* collisionDetector;
