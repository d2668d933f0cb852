#pragma once

#include "game/ArenaPiece.h"
#include "game/BulletSystem.h"
#include "game/GameEvent.h"
#include "game/Tank.h"

#include <box2d/box2d.h>

#include <vector>

// The collision rules of a step, run after everything has moved: tanks against each other and
// against the arena (undo the move, or learn the floor), bullets against tanks (a life, or in a
// battle the tank destroyed; a burst) and against the arena (a burst). Footprints are compared
// with Box2D, heights by hand. A tank out of play (destroyed in a battle, waiting to come back)
// is not there.
//
// The tanks are treated alike whatever their seats: two tanks that touch both yield, and what
// tanks work out between them is worked out in an order set by where they stand, never by
// their seats, so that permuting the seats of tanks permutes what happens to them and nothing
// else. Every bullet that meets a tank in a tick hits it, whichever met it first.
//
// Two rules keep tanks from sticking. A tank whose turn was undone tries the turn again,
// pushed out of the pieces it touches along the contact normals; it keeps the turn when that
// leaves it free. And a tank that still overlaps something that blocks it (it stood there
// before the step: a jump came down beside a block, or two undos moved it back twice) is
// pushed out of it; two tanks left overlapping are pushed apart, each by half the depth. So a
// step never leaves two hulls inside each other.
class CollisionDetector {
public:
    // tanks in seat order; all are referenced, not owned.
    CollisionDetector(std::vector<Tank*> tanks, const std::vector<ArenaPiece>& walls,
                      BulletSystem& bulletSystem);

    // Makes room for count tanks, once tanks has been given that many.
    void fitTo(std::size_t count);
    void detect(EventList& events);

    std::vector<Tank*> tanks;
    const std::vector<ArenaPiece>& walls;
    // Ticks a tank cannot be hit after a hit has cost it a life; bullets pass through it then.
    int graceAfterHit = 0;
    // A battle's: a hit takes the tank out of play for this many ticks instead of a life.
    int destroyOnHit = 0;
    b2Manifold manifold; // reused by every test
    BulletSystem& bulletSystem;

private:
    // Whether the footprints touch; Box2D's polygon radius makes boxes closer than 0.02 count.
    bool overlap(const CollisionBody& first, const CollisionBody& second);
    // Whether two tanks touch, with the unit normal in the ground plane (world x, z) from
    // first into second and how far they would have to part to touch no more. The two are
    // compared in the order of where they stand, so swapping them only flips the normal.
    bool tankContact(const Tank& first, const Tank& second, glm::vec2& normal, float& depth);
    bool blocks(const Tank& tank, const ArenaPiece& piece) const;
    void detectWalls(Tank& tank);
    void retryTurn(Tank& tank, float turnedHeading);
    // Moves the tank out of every piece that blocks it along the contact normals; true when it
    // ends up touching none of them, else it is left where it was.
    bool pushOutOfWalls(Tank& tank);
    // Pushes every two overlapping tanks of the first inPlay in order apart, each by half; true
    // when none overlapped.
    bool separateTanks(std::size_t inPlay);
    // The bullet at index among the bullets.
    void detectBullet(int index, EventList& events);
    // The first visible or invisible piece the fresh bullet's path from its origin enters.
    bool sweepFromOrigin(int index, EventList& events);

    std::vector<float> turnedHeadings; // each tank's heading before the rules ran
    std::vector<char> hittable;        // each tank's, as the bullets' turn began
    std::vector<int> order;            // the tanks' indices, by where they stand
};
