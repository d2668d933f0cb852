// The collision rules between tanks, bullets and arena pieces.
#include "GameFixtures.h"

#include "game/Angles.h"
#include "game/CollisionDetector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

class CollisionDetectorTest : public TankWorldTest {
protected:
    // The player's tank is listed first; the footprint takes the heading. Starts a step.
    Tank& listTank(glm::vec3 position, float heading = 0) {
        Tank& tank = addTank(position, heading);
        tank.update(0, false);
        tank.beginStep();
        listed.push_back(&tank);
        return tank;
    }
    // A box piece of the given size (X, Y, Z) centred on (x, z) and standing on y.
    ArenaPiece& addPiece(glm::vec3 position, glm::vec3 size, bool visible = true) {
        const glm::vec3 scale(size.x * 0.5f, size.y, size.z * 0.5f); // the box is 2 × 1 × 2
        walls.emplace_back(PieceKind::Wall, kTestBox, position, 0.0f, scale);
        walls.back().visible = visible;
        return walls.back();
    }
    // A bullet already in flight (its firing is not reported again).
    Bullet& addBullet(glm::vec3 position) {
        bullets.spawn(glm::vec3(0, 0, -1), position, 20, 10, position, 0, 0);
        bullets.bullets.back().fresh = false;
        return bullets.bullets.back();
    }
    void detect() {
        if (!detector) {
            detector = std::make_unique<CollisionDetector>(listed, walls, bullets);
        }
        events.clear();
        detector->detect(events);
    }
    // The console lines of a detection, each ended by a line end.
    std::string detectAndLog() {
        detect();
        std::string log;
        for (const GameEvent& event : events) {
            if (event.type == GameEventType::Log) {
                log += std::string(event.text) + "\n";
            }
        }
        return log;
    }
    int bursts() const {
        int count = 0;
        for (const GameEvent& event : events) {
            count += event.type == GameEventType::TankHit || event.type == GameEventType::WallHit;
        }
        return count;
    }

    std::vector<Tank*> listed;
    std::vector<ArenaPiece> walls;
    std::unique_ptr<CollisionDetector> detector;
    EventList events;
};

TEST_F(CollisionDetectorTest, TanksDrivenNoseToNoseAreBothMovedBack) {
    Tank& player = listTank(glm::vec3(0, 0, 0), 0);
    Tank& ai = listTank(glm::vec3(0, 0, -2.05f), 180);
    player.speed = ai.speed = -2.0f;
    player.update(kStep, false);
    ai.update(kStep, false); // each moves 0.0796 towards the other and they overlap

    EXPECT_EQ(detectAndLog(), "TANKS collided\nTANKS collided\n");
    expectVec3(player.position, glm::vec3(0, 0, 0), 1e-6f);
    expectVec3(ai.position, glm::vec3(0, 0, -2.05f), 1e-6f);
    EXPECT_NEAR(player.speed, 0.4975f, 1e-6f); // −1.99 × −0.25
    EXPECT_NEAR(ai.speed, 0.4975f, 1e-6f);
}

// Who yields does not depend on the order the tanks are listed in: both do, the one that
// drove into the other and the one that stood still.
TEST_F(CollisionDetectorTest, BothTanksYieldWhicheverIsListedFirst) {
    for (bool standingFirst : {false, true}) {
        SCOPED_TRACE(standingFirst ? "the standing tank listed first" : "the mover listed first");
        tanks.clear();
        listed.clear();
        detector.reset();
        Tank* standing = nullptr;
        if (standingFirst) {
            standing = &listTank(glm::vec3(0, 0, -2.06f), 180);
        }
        Tank& mover = listTank(glm::vec3(0, 0, 0), 0);
        if (!standingFirst) {
            standing = &listTank(glm::vec3(0, 0, -2.06f), 180);
        }
        mover.speed = -2.0f;
        mover.update(kStep, false); // into the standing tank by about 0.02
        standing->update(kStep, false);

        EXPECT_EQ(detectAndLog(), "TANKS collided\nTANKS collided\n");
        expectVec3(mover.position, glm::vec3(0, 0, 0), 1e-6f);
        expectVec3(standing->position, glm::vec3(0, 0, -2.06f), 1e-6f);
        EXPECT_NEAR(mover.speed, 0.4975f, 1e-6f);
        EXPECT_EQ(standing->speed, 0.0f);
    }
}

// Two tanks left inside each other (both came down from jumps there) are pushed apart alike,
// each by half, until their hulls no longer touch.
TEST_F(CollisionDetectorTest, TanksLeftInsideEachOtherArePushedApartAlike) {
    Tank& first = listTank(glm::vec3(-0.5f, 0, 0), 0);
    Tank& second = listTank(glm::vec3(0.5f, 0, 0), 0);
    detect();
    const float gap = (second.position.x - 1.0f) - (first.position.x + 1.0f);
    EXPECT_GT(gap, 0.02f); // beyond the contact margin
    EXPECT_NEAR(first.position.x, -second.position.x, 1e-6f);
    EXPECT_NEAR(first.position.z, 0.0f, 1e-6f);
}

TEST_F(CollisionDetectorTest, ContactMarginIsTwiceThePolygonRadius) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(2.015f, -0.1f, 0), glm::vec3(2, 5, 2));  // 0.015 apart: touching
    addPiece(glm::vec3(-2.025f, -0.1f, 0), glm::vec3(2, 5, 2)); // 0.025 apart: clear
    tank.speed = 1.0f;
    detect();
    EXPECT_FLOAT_EQ(tank.speed, -0.25f); // undone once, by the near piece only
}

TEST_F(CollisionDetectorTest, PieceAroundTheRaisedBottomBlocks) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(0, -0.1f, -2.05f), glm::vec3(2, 5, 2)); // 0.05 ahead, bottom −0.1, top 4.9
    tank.speed = -2.0f;
    tank.update(kStep, false);

    EXPECT_EQ(detectAndLog(), "");
    expectVec3(tank.position, glm::vec3(0, 0.07f, 0), 1e-6f);
    EXPECT_EQ(tank.heading, 0.0f);
    EXPECT_NEAR(tank.speed, 0.4975f, 1e-6f);
    EXPECT_TRUE(tank.blocked);
    EXPECT_EQ(tank.floorLevel, 0.0f);
}

// Turning in place against a wall pushes a corner into it: the turn is kept and the tank moves
// clear along the contact normal, so a tank beside a wall can always turn away.
TEST_F(CollisionDetectorTest, TankBesideAWallTurnsPushedClearOfIt) {
    Tank& tank = listTank(glm::vec3(-0.025f, 0.07f, 0));
    addPiece(glm::vec3(1.5f, -0.1f, 0), glm::vec3(1, 5, 6)); // x 1 to 2: 0.025 clear
    for (int step = 1; step <= 30; ++step) {
        tank.beginStep();
        tank.turn(100.0f * kStep);
        tank.update(kStep, false);
        detect();
        ASSERT_NEAR(tank.heading, 100.0f * kStep * step, 1e-3f) << "step " << step;
    }
    // A 2 × 2 box turned by 50 degrees reaches cos 50° + sin 50° aside: it keeps that, and the
    // contact margin, from the wall's face at x = 1.
    const float reach = std::cos(50.0f * kDegreesToRadians) + std::sin(50.0f * kDegreesToRadians);
    EXPECT_NEAR(tank.position.x, 1.0f - reach - 0.02f, 0.01f);
    EXPECT_NEAR(tank.position.z, 0.0f, 1e-4f);
}

// Something that stood inside a blocking piece before the step (a jump that came down beside a
// block) is pushed out of it rather than kept there for good.
TEST_F(CollisionDetectorTest, TankStartingInsideAPieceIsPushedOut) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(1.5f, -0.1f, 0), glm::vec3(2, 5, 2)); // x 0.5 to 2.5: 0.5 deep
    tank.update(kStep, false);
    detect();
    EXPECT_NEAR(tank.position.x, -0.5f - 0.02f - 0.002f, 1e-4f);
    tank.beginStep();
    detect();
    EXPECT_FALSE(tank.blocked); // clear now: the next step moves freely
}

TEST_F(CollisionDetectorTest, TwoBlockingPiecesUndoTheMoveTwice) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(1.5f, -0.1f, 0), glm::vec3(2, 5, 2));
    addPiece(glm::vec3(-1.5f, -0.1f, 0), glm::vec3(2, 5, 2));
    tank.speed = -1.01f;
    tank.update(kStep, false); // speed −1, moved 0.04 along −Z
    detect();
    EXPECT_NEAR(tank.speed, -0.0625f, 1e-6f);
    expectVec3(tank.position, glm::vec3(0, 0.07f, 0.04f), 1e-6f);
}

TEST_F(CollisionDetectorTest, InvisiblePiecesBlockTanksAndBullets) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(1.5f, -0.1f, 0), glm::vec3(2, 15, 2), false);
    Bullet& bullet = addBullet(glm::vec3(1.5f, 3, 5));
    tank.speed = 1.0f;
    detect();
    EXPECT_FLOAT_EQ(tank.speed, -0.25f);
    EXPECT_FALSE(bullet.dead);

    bullet.update(0.25f);          // 5 units along −Z: inside the piece, 3 above its bottom
    EXPECT_EQ(detectAndLog(), ""); // a hit on a piece writes nothing
    EXPECT_TRUE(bullet.dead);
    EXPECT_EQ(bursts(), 1);
}

TEST_F(CollisionDetectorTest, SlabUnderTheTankBecomesItsFloor) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(0, 0.01f, 0), glm::vec3(20, 0.05f, 20)); // top 0.06: t = 0.08 is above
    tank.speed = -1.0f;
    detect();
    EXPECT_FLOAT_EQ(tank.floorLevel, 0.06f);
    EXPECT_FLOAT_EQ(tank.speed, -1.0f);

    // The last piece in list order that does not block sets the floor.
    addPiece(glm::vec3(0, -1, 0), glm::vec3(20, 1, 20));
    detect();
    EXPECT_FLOAT_EQ(tank.floorLevel, 0.0f);
    // With no piece beneath, the floor stays.
    tank.position.x = 50;
    tank.update(0, false);
    detect();
    EXPECT_FLOAT_EQ(tank.floorLevel, 0.0f);
}

TEST_F(CollisionDetectorTest, PieceWhoseTopIsExactlyTheRaisedBottomIsAFloor) {
    Tank& tank = listTank(glm::vec3(0, 1.0f, 0));
    const float raised = 1.0f + 0.01f;
    addPiece(glm::vec3(0.5f, 0, 0), glm::vec3(2, raised, 2));
    ASSERT_EQ(walls.back().top, raised);
    tank.speed = -1.0f;
    detect();
    EXPECT_FLOAT_EQ(tank.speed, -1.0f);
    EXPECT_EQ(tank.floorLevel, raised);
}

TEST_F(CollisionDetectorTest, BulletHitsATankOnlyStrictlyWithinItsHeight) {
    Tank& tank = listTank(glm::vec3(0, 0.5f, 0));
    Bullet& atBottom = addBullet(glm::vec3(0, 0.5f, 0));
    Bullet& aboveTop = addBullet(glm::vec3(0.5f, 1.6f, 0));
    EXPECT_EQ(detectAndLog(), "");
    EXPECT_FALSE(atBottom.dead);
    EXPECT_FALSE(aboveTop.dead);
    EXPECT_EQ(tank.lives, 5);
    EXPECT_EQ(bursts(), 0);

    Bullet& inside = addBullet(glm::vec3(0.5f, 0.51f, 0.5f));
    EXPECT_EQ(detectAndLog(), "Bullet Hits TANK\n");
    EXPECT_TRUE(inside.dead);
    EXPECT_EQ(tank.lives, 4);
    EXPECT_EQ(bursts(), 1);
}

TEST_F(CollisionDetectorTest, HitOnATankWithNoLivesLeftStillCounts) {
    Tank& tank = listTank(glm::vec3(0, 0, 0));
    tank.lives = 0;
    Bullet& bullet = addBullet(glm::vec3(0, 0.5f, 0));
    EXPECT_EQ(detectAndLog(), "Bullet Hits TANK\n");
    EXPECT_TRUE(bullet.dead);
    EXPECT_EQ(tank.lives, 0);
    EXPECT_EQ(bursts(), 1);
}

TEST_F(CollisionDetectorTest, OneBulletCanHitBothTanksAndAPiece) {
    Tank& player = listTank(glm::vec3(-1.05f, 0, 0));
    Tank& ai = listTank(glm::vec3(1.05f, 0, 0));
    addPiece(glm::vec3(0, 0, -0.1f), glm::vec3(0.1f, 2, 0.1f));
    Bullet& bullet = addBullet(glm::vec3(0, 0.5f, 0));
    bullet.dead = true; // marked earlier: still tested
    EXPECT_EQ(detectAndLog(), "Bullet Hits TANK\nBullet Hits TANK\n");
    EXPECT_EQ(player.lives, 4);
    EXPECT_EQ(ai.lives, 4);
    EXPECT_EQ(bursts(), 3);        // one burst per hit
    EXPECT_EQ(player.speed, 0.0f); // the tanks themselves stay apart
}

TEST_F(CollisionDetectorTest, BulletBesidePieceHeightMissesIt) {
    addPiece(glm::vec3(0, 1, 0), glm::vec3(2, 2, 2));
    Bullet& below = addBullet(glm::vec3(0, 0.5f, 0));
    Bullet& onBottom = addBullet(glm::vec3(0, 1, 0));
    Bullet& onTop = addBullet(glm::vec3(0, 3, 0));
    detect();
    EXPECT_FALSE(below.dead);
    EXPECT_FALSE(onBottom.dead);
    EXPECT_FALSE(onTop.dead);
    EXPECT_EQ(bursts(), 0);
}

// A shot fired with a thin wall between the tank and its muzzle: the wall takes the hit where the
// path enters it, not the tank standing behind it.
TEST_F(CollisionDetectorTest, WallBetweenTankAndMuzzleTakesTheShot) {
    Tank& shooter = listTank(glm::vec3(0, 0.07f, 0));
    Tank& behind = listTank(glm::vec3(0, 0.07f, -2.75f)); // the muzzle (z −2.5) is inside it
    addPiece(glm::vec3(0, -0.1f, -1.35f), glm::vec3(6, 3, 0.6f)); // z −1.65 to −1.05
    shooter.fire(bullets, 0);
    EXPECT_EQ(detectAndLog(), "");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, GameEventType::Shot);
    expectVec3(events[0].position, glm::vec3(0, 0.08f, -2.5f), 1e-5f);
    EXPECT_EQ(events[1].type, GameEventType::WallHit);
    expectVec3(events[1].position, glm::vec3(0, 0.08f, -1.05f), 1e-4f);
    EXPECT_TRUE(bullets.bullets.front().dead);
    EXPECT_EQ(behind.lives, 5);

    // Without the wall the same shot hits the tank behind.
    walls.clear();
    bullets.clear();
    shooter.triggerHeld = false;
    shooter.fire(bullets, 0);
    EXPECT_EQ(detectAndLog(), "Bullet Hits TANK\n");
    EXPECT_EQ(behind.lives, 4);
}

} // namespace
