#pragma once

#include "game/ArenaPiece.h"
#include "game/BulletSystem.h"
#include "game/GameEvent.h"
#include "game/Tank.h"

#include <box2d/box2d.h>

#include <vector>

// The collision rules of a step, run after everything has moved: tanks against each other and
// against the arena (undo the move, or learn the floor), bullets against tanks (a life, a burst)
// and against the arena (a burst). Footprints are compared with Box2D, heights by hand.
//
// Two rules keep tanks from sticking. A tank whose turn was undone tries the turn again,
// pushed out of what it touches along the contact normals; it keeps the turn when that leaves
// it free. And a tank that still overlaps something that blocks it (it stood there before the
// step: a jump came down beside a block, or two undos moved it back twice) is pushed out.
class CollisionDetector {
public:
    // tanks are the player's first, then the computer's; all are referenced, not owned.
    CollisionDetector(std::vector<Tank*> tanks, const std::vector<ArenaPiece>& walls,
                      BulletSystem& bulletSystem);

    void detect(EventList& events);

    std::vector<Tank*> tanks;
    const std::vector<ArenaPiece>& walls;
    b2Manifold manifold; // reused by every test
    BulletSystem& bulletSystem;

private:
    // Whether the footprints touch; Box2D's polygon radius makes boxes closer than 0.02 count.
    bool overlap(const CollisionBody& first, const CollisionBody& second);
    bool blocks(const Tank& tank, const ArenaPiece& piece) const;
    void detectTank(Tank& tank, EventList& events);
    void retryTurn(Tank& tank, float turnedHeading);
    // Moves the tank out of every blocking piece and the other tank along the contact normals;
    // true when it ends up touching none of them, else it is left where it was.
    bool pushOut(Tank& tank);
    void detectBullet(Bullet& bullet, EventList& events);
    // The first visible or invisible piece the fresh bullet's path from its origin enters.
    bool sweepFromOrigin(Bullet& bullet, EventList& events);
    TankSide side(const Tank& tank) const;

    std::vector<float> turnedHeadings; // each tank's heading before the rules ran
};
