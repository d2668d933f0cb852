// Driving, jumping and firing of a tank.
#include "GameFixtures.h"

#include "game/Angles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class TankTest : public TankWorldTest {
protected:
    Tank& makeTank(float x = 0, float y = 0, float z = 0, float heading = 0) {
        return addTank(glm::vec3(x, y, z), heading);
    }
};

TEST_F(TankTest, ConstructionSetsTheStartValues) {
    Tank& tank = makeTank(1, 2, 3, 180);
    expectVec3(tank.position, glm::vec3(1, 2, 3));
    expectVec3(tank.spawnPosition, glm::vec3(1, 2, 3));
    EXPECT_EQ(tank.turretHeading, 180.0f);
    EXPECT_EQ(tank.previousPose.heading, 180.0f);
    EXPECT_EQ(tank.initialHeading, 180.0f);
    EXPECT_EQ(tank.initialLives, 5);
    EXPECT_EQ(tank.lives, 5);

    // The footprint stays unturned at the spawn point until the first update.
    EXPECT_EQ(tank.transform.p.x, 1.0f);
    EXPECT_EQ(tank.transform.p.y, 3.0f);
    EXPECT_EQ(tank.transform.q.s, 0.0f);
    EXPECT_EQ(tank.transform.q.c, 1.0f);
    EXPECT_NEAR(tank.shape.m_vertices[2].x, 1.0f, 1e-6f);
    EXPECT_NEAR(tank.shape.m_vertices[2].y, 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(tank.bottom, 2.0f);
    EXPECT_FLOAT_EQ(tank.top, 3.0f);
}

TEST_F(TankTest, FrictionTakesOneHundredthPerUpdateDownToRest) {
    Tank& tank = makeTank();
    const float cases[][2] = {{0.015f, 0.005f}, {0.005f, 0.0f}, {-0.01f, 0.0f}, {-0.3f, -0.29f}};
    for (const auto& c : cases) {
        tank.speed = c[0];
        tank.update(kStep, false);
        EXPECT_NEAR(tank.speed, c[1], 1e-6f) << "from " << c[0];
    }
}

TEST_F(TankTest, AccelerateDropsInputsThatLeaveTheRange) {
    Tank& tank = makeTank();
    tank.speed = -4.9f;
    tank.accelerate(-0.2f);
    EXPECT_FLOAT_EQ(tank.speed, -4.9f); // dropped whole, not clamped to −5
    tank.speed = -4.7f;
    tank.accelerate(-0.2f);
    EXPECT_FLOAT_EQ(tank.speed, -4.9f);
    tank.speed = 1.9f;
    tank.accelerate(0.2f);
    EXPECT_FLOAT_EQ(tank.speed, 1.9f);
    tank.speed = 1.7f;
    tank.accelerate(0.2f);
    EXPECT_FLOAT_EQ(tank.speed, 1.9f);
}

TEST_F(TankTest, HoldingForwardBuildsSpeedUpToTheLimit) {
    Tank& tank = makeTank();
    const float expected[] = {-0.19f, -0.38f, -0.57f};
    for (float speed : expected) {
        tank.accelerate(-0.2f);
        tank.update(kStep, false);
        EXPECT_NEAR(tank.speed, speed, 1e-5f);
    }
    for (int i = 0; i < 200; ++i) {
        tank.accelerate(-0.2f);
        tank.update(kStep, false);
        ASSERT_GT(tank.speed, -5.0f);
    }
    EXPECT_LT(tank.speed, -4.8f);
}

TEST_F(TankTest, MovesAlongItsHeadingBySpeedTimesFourHundredths) {
    Tank& tank = makeTank(0, 0, 0, 90);
    tank.speed = -1.0f;
    tank.update(kStep, false);
    EXPECT_NEAR(tank.speed, -0.99f, 1e-6f);
    expectVec3(tank.position, glm::vec3(-0.0396f, 0, 0), 1e-6f);
    expectVec3(tank.lastMove, glm::vec3(0.0396f, 0, 0), 1e-6f);
    // The transform follows the position and the hull heading.
    EXPECT_FLOAT_EQ(tank.transform.p.x, tank.position.x);
    EXPECT_NEAR(tank.transform.q.s, 1.0f, 1e-6f);
    EXPECT_NEAR(tank.transform.q.c, 0.0f, 1e-6f);
}

TEST_F(TankTest, JumpRisesOnAQuarterSineAndLandsJustAboveTheFloor) {
    Tank& tank = makeTank();
    tank.beginStep();
    tank.update(kStep, true);
    EXPECT_FALSE(tank.onGround);
    EXPECT_TRUE(tank.tookOff);
    EXPECT_EQ(tank.jumpTimer, 0.0f);
    EXPECT_EQ(tank.jumpDuration, 0.25f);
    EXPECT_EQ(tank.position.y, 0.0f); // the take-off update leaves the height alone

    tank.update(0.010f, false);
    EXPECT_NEAR(tank.position.y, 0.1256f, 1e-4f);
    EXPECT_FLOAT_EQ(tank.bottom, tank.position.y);
    tank.update(0.240f, false);
    EXPECT_FLOAT_EQ(tank.position.y, 2.0f);

    // Down again 0.5 s after the start, in the first update whose offset is no longer above 0.
    int updates = 0;
    while (!tank.onGround && updates < 20) {
        tank.beginStep();
        tank.update(kStep, false);
        ++updates;
        if (!tank.onGround) {
            EXPECT_NEAR(tank.position.y, 2.0f * std::sin(tank.jumpTimer / 0.25f * kPi * 0.5f),
                        1e-5f);
            EXPECT_GT(tank.position.y, 0.0f);
        }
    }
    EXPECT_TRUE(tank.landed);
    EXPECT_GE(tank.jumpTimer, 0.5f - 1e-5f);
    EXPECT_LT(tank.jumpTimer, 0.5f + kStep);
    EXPECT_FLOAT_EQ(tank.position.y, 0.01f);
    EXPECT_EQ(tank.groundLevel, 0.0f);
    tank.beginStep();
    EXPECT_FALSE(tank.landed);
}

TEST_F(TankTest, HeldJumpKeyJumpsAgainRightAfterLanding) {
    Tank& tank = makeTank();
    int takeOffs = 0;
    bool landedLastUpdate = false;
    for (int i = 0; i < 120; ++i) {
        tank.beginStep();
        tank.update(kStep, true);
        if (tank.tookOff) {
            ++takeOffs;
            EXPECT_TRUE(i == 0 || landedLastUpdate) << "take-off in update " << i + 1;
        }
        landedLastUpdate = tank.landed;
    }
    EXPECT_EQ(takeOffs, 4); // updates 1, 32, 63 and 94: each right after a landing at 0.5 s
}

TEST_F(TankTest, NoNewJumpWithinTheRiseTimeOfTheLastOne) {
    Tank& tank = makeTank();
    tank.update(0.010f, true);
    tank.update(0.100f, false);
    // Force the tank back onto the ground 100 ms into the jump: still too soon.
    tank.onGround = true;
    tank.update(0.100f, true);
    EXPECT_TRUE(tank.onGround);
    tank.update(0.060f, true); // 260 ms since the start
    EXPECT_FALSE(tank.onGround);
}

TEST_F(TankTest, SinksToALowerFloorAndRisesToAHigherOneAtOnce) {
    Tank& tank = makeTank(0, 1.11f, 0);
    tank.groundLevel = 1.1f;
    tank.floorLevel = 0.0f;
    tank.update(kStep, false);
    EXPECT_NEAR(tank.position.y, 0.91f, 1e-5f); // (2 − 0) / 10 per update
    tank.update(kStep, false);
    EXPECT_NEAR(tank.position.y, 0.71f, 1e-5f);
    for (int i = 0; i < 3; ++i) {
        tank.update(kStep, false);
    }
    EXPECT_NEAR(tank.position.y, 0.11f, 1e-5f);
    tank.update(kStep, false);
    EXPECT_FLOAT_EQ(tank.position.y, 0.01f);
    EXPECT_EQ(tank.groundLevel, 0.0f);

    tank.floorLevel = 1.1f;
    tank.update(kStep, false);
    EXPECT_FLOAT_EQ(tank.position.y, 1.11f);
    EXPECT_FLOAT_EQ(tank.groundLevel, 1.1f);

    // The last descent offset of a jump sets the sinking speed.
    tank.fallOffset = -1.0f;
    tank.floorLevel = 0.0f;
    tank.update(kStep, false);
    EXPECT_NEAR(tank.position.y, 0.81f, 1e-5f);
}

TEST_F(TankTest, FiresOneBulletPerTriggerPullAheadOfTheTurret) {
    Tank& tank = makeTank(1, 0.5f, 2, 0);
    tank.turretHeading = 90;
    tank.fire(bullets, 0);
    tank.fire(bullets, 0);
    ASSERT_EQ(bullets.bullets.size(), 1u);
    EXPECT_TRUE(tank.triggerHeld);

    const Bullet& bullet = bullets.bullets.front();
    expectVec3(bullet.position, glm::vec3(-1.5f, 0.51f, 2), 1e-5f);
    expectVec3(bullet.direction, glm::vec3(-1, 0, 0), 1e-6f);
    // Its path is checked from the tank's centre, at its own height.
    expectVec3(bullet.origin, glm::vec3(1, 0.51f, 2), 1e-6f);
    EXPECT_TRUE(bullet.fresh);
    EXPECT_EQ(bullet.speed, 20.0f);
    EXPECT_EQ(bullet.lifetime, 10.0f);

    tank.triggerHeld = false;
    tank.fire(bullets, 0);
    EXPECT_EQ(bullets.bullets.size(), 2u);
}

TEST_F(TankTest, UndoMoveRestoresTheHullOfThisStepButNotTheTurret) {
    Tank& tank = makeTank(2, 0, 3, 10);
    tank.turn(15); // an earlier step's turn stays
    tank.beginStep();
    EXPECT_EQ(tank.previousPose.heading, 25.0f);
    tank.turn(30);
    tank.speed = -2.0f;
    tank.update(kStep, false);
    const glm::vec3 moved = tank.position;
    ASSERT_GT(glm::length(moved - glm::vec3(2, 0, 3)), 0.05f);

    tank.undoMove();
    expectVec3(tank.position, glm::vec3(2, 0, 3), 1e-6f);
    EXPECT_EQ(tank.heading, 25.0f);
    EXPECT_EQ(tank.turretHeading, 55.0f);
    EXPECT_NEAR(tank.speed, -1.99f * -0.25f, 1e-6f);
    EXPECT_TRUE(tank.blocked);
    EXPECT_FLOAT_EQ(tank.transform.p.x, 2.0f);
    EXPECT_FLOAT_EQ(tank.transform.p.y, 3.0f);
    EXPECT_NEAR(tank.transform.q.s, std::sin(25.0f * 3.14159265f / 180.0f), 1e-6f);

    // Blocked steps are counted until a step goes through.
    tank.beginStep();
    tank.undoMove();
    tank.beginStep();
    EXPECT_EQ(tank.blockedSteps, 2);
    tank.beginStep();
    EXPECT_EQ(tank.blockedSteps, 0);
}

TEST_F(TankTest, BeginStepRemembersThePoseToDrawFrom) {
    Tank& tank = makeTank(1, 0, 1, 30);
    tank.turretHeading = 40;
    tank.beginStep();
    tank.speed = -2.0f;
    tank.turn(5);
    tank.update(kStep, false);
    expectVec3(tank.previousPose.position, glm::vec3(1, 0, 1), 0.0f);
    EXPECT_EQ(tank.previousPose.heading, 30.0f);
    EXPECT_EQ(tank.previousPose.turretHeading, 40.0f);
    EXPECT_EQ(tank.pose().heading, 35.0f);
}

} // namespace
