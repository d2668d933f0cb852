// Driving, jumping, firing and drawing of a tank.
#include "GameFixtures.h"

#include "render/Math.h"

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
    Tank& ai = makeTank(1, 2, 3, 180);
    Tank& player = makeTank(4, 0, 5, 0);

    EXPECT_EQ(ai.id, 0);
    EXPECT_EQ(player.id, 1);
    EXPECT_EQ(tanksCreated, 2);
    expectVec3(ai.position, glm::vec3(1, 2, 3));
    expectVec3(ai.spawnPosition, glm::vec3(1, 2, 3));
    EXPECT_EQ(ai.turretHeading, 180.0f);
    EXPECT_EQ(ai.previousHeading, 180.0f);
    EXPECT_EQ(ai.initialTurretHeading, 180.0f);
    EXPECT_EQ(ai.initialLives, 5);

    // The footprint stays unturned at the spawn point until the first update.
    EXPECT_EQ(ai.transform.p.x, 1.0f);
    EXPECT_EQ(ai.transform.p.y, 3.0f);
    EXPECT_EQ(ai.transform.q.s, 0.0f);
    EXPECT_EQ(ai.transform.q.c, 1.0f);
    EXPECT_NEAR(ai.shape.m_vertices[2].x, 1.0f, 1e-6f);
    EXPECT_NEAR(ai.shape.m_vertices[2].y, 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(ai.bottom, 2.0f);
    EXPECT_FLOAT_EQ(ai.top, 3.0f);

    // The tank made first (the AI's) is tinted; the other is white.
    expectVec3(ai.material.ambientColor, glm::vec3(1.0f, 0.44f, 0.22f), 0.0f);
    expectVec3(ai.material.specularColor, glm::vec3(1.0f, 0.44f, 0.22f), 0.0f);
    expectVec3(player.material.diffuseColor, glm::vec3(1.0f), 0.0f);
    EXPECT_EQ(ai.material.phongPower, 3u);
    EXPECT_EQ(ai.material.kaLocation, glGetUniformLocation(program, "ka"));
}

TEST_F(TankTest, FrictionTakesOneHundredthPerUpdateDownToRest) {
    Tank& tank = makeTank();
    const float cases[][2] = {{0.015f, 0.005f}, {0.005f, 0.0f}, {-0.01f, 0.0f}, {-0.3f, -0.29f}};
    for (const auto& c : cases) {
        tank.speed = c[0];
        tank.update(16, false);
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
        tank.update(16, false);
        EXPECT_NEAR(tank.speed, speed, 1e-5f);
    }
    for (int i = 0; i < 200; ++i) {
        tank.accelerate(-0.2f);
        tank.update(16, false);
        ASSERT_GT(tank.speed, -5.0f);
    }
    EXPECT_LT(tank.speed, -4.8f);
}

TEST_F(TankTest, MovesAlongItsHeadingBySpeedTimesFourHundredths) {
    Tank& tank = makeTank(0, 0, 0, 90);
    tank.speed = -1.0f;
    tank.update(16, false);
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
    tank.update(16, true);
    EXPECT_FALSE(tank.onGround);
    EXPECT_EQ(tank.jumpTimer, 0.0f);
    EXPECT_EQ(tank.jumpDuration, 250.0f);
    EXPECT_EQ(tank.position.y, 0.0f); // the take-off update leaves the height alone

    tank.update(10, false);
    EXPECT_NEAR(tank.position.y, 0.1256f, 1e-4f);
    EXPECT_FLOAT_EQ(tank.bottom, tank.position.y);
    tank.update(240, false);
    EXPECT_FLOAT_EQ(tank.position.y, 2.0f);

    float timer = 250;
    while (timer < 490) {
        tank.update(10, false);
        timer += 10;
        ASSERT_FALSE(tank.onGround) << "landed early at " << timer << " ms";
        EXPECT_NEAR(tank.position.y, 2.0f * std::sin(timer / 250.0f * 3.14159265f * 0.5f), 1e-5f);
    }
    tank.update(10, false);
    EXPECT_TRUE(tank.onGround);
    EXPECT_FLOAT_EQ(tank.position.y, 0.01f);
    EXPECT_EQ(tank.groundLevel, 0.0f);
}

TEST_F(TankTest, HeldJumpKeyJumpsAgainRightAfterLanding) {
    Tank& tank = makeTank();
    int takeOffs = 0;
    int groundUpdatesWithoutTakeOff = 0;
    for (int i = 0; i < 120; ++i) {
        const bool wasOnGround = tank.onGround;
        tank.update(10, true);
        if (wasOnGround && !tank.onGround) {
            ++takeOffs;
            EXPECT_EQ(tank.jumpTimer, 0.0f);
        } else if (wasOnGround) {
            ++groundUpdatesWithoutTakeOff;
        }
    }
    EXPECT_EQ(takeOffs, 3); // in updates 1, 52 and 103: each right after a landing at 500 ms
    EXPECT_EQ(groundUpdatesWithoutTakeOff, 0);
}

TEST_F(TankTest, NoNewJumpWithinTheRiseTimeOfTheLastOne) {
    Tank& tank = makeTank();
    tank.update(10, true);
    tank.update(100, false);
    // Force the tank back onto the ground 100 ms into the jump: still too soon.
    tank.onGround = true;
    tank.update(100, true);
    EXPECT_TRUE(tank.onGround);
    tank.update(60, true); // 260 ms since the start
    EXPECT_FALSE(tank.onGround);
}

TEST_F(TankTest, SinksToALowerFloorAndRisesToAHigherOneAtOnce) {
    Tank& tank = makeTank(0, 1.11f, 0);
    tank.groundLevel = 1.1f;
    tank.floorLevel = 0.0f;
    tank.update(16, false);
    EXPECT_NEAR(tank.position.y, 0.91f, 1e-5f); // (2 − 0) / 10 per update
    tank.update(16, false);
    EXPECT_NEAR(tank.position.y, 0.71f, 1e-5f);
    for (int i = 0; i < 3; ++i) {
        tank.update(16, false);
    }
    EXPECT_NEAR(tank.position.y, 0.11f, 1e-5f);
    tank.update(16, false);
    EXPECT_FLOAT_EQ(tank.position.y, 0.01f);
    EXPECT_EQ(tank.groundLevel, 0.0f);

    tank.floorLevel = 1.1f;
    tank.update(16, false);
    EXPECT_FLOAT_EQ(tank.position.y, 1.11f);
    EXPECT_FLOAT_EQ(tank.groundLevel, 1.1f);

    // The last descent offset of a jump sets the sinking speed.
    tank.fallOffset = -1.0f;
    tank.floorLevel = 0.0f;
    tank.update(16, false);
    EXPECT_NEAR(tank.position.y, 0.81f, 1e-5f);
}

TEST_F(TankTest, FiresOneBulletPerTriggerPullAheadOfTheTurret) {
    Tank& tank = makeTank(1, 0.5f, 2, 0);
    tank.turretHeading = 90;
    tank.fire();
    tank.fire();
    ASSERT_EQ(bullets->bullets.size(), 1u);
    EXPECT_TRUE(tank.triggerHeld);

    const Bullet& bullet = *bullets->bullets.front();
    expectVec3(bullet.position, glm::vec3(-1.5f, 0.51f, 2), 1e-5f);
    expectVec3(bullet.direction, glm::vec3(-1, 0, 0), 1e-6f);
    EXPECT_EQ(bullet.speed, 20.0f);
    EXPECT_EQ(bullet.lifetime, 10.0f);

    tank.triggerHeld = false;
    tank.fire();
    EXPECT_EQ(bullets->bullets.size(), 2u);
}

TEST_F(TankTest, UndoMoveRestoresTheHullButNotTheTurret) {
    Tank& tank = makeTank(2, 0, 3, 10);
    tank.turn(30);
    EXPECT_EQ(tank.previousHeading, 10.0f);
    tank.speed = -2.0f;
    tank.update(16, false);
    const glm::vec3 moved = tank.position;
    ASSERT_GT(glm::length(moved - glm::vec3(2, 0, 3)), 0.05f);

    tank.undoMove();
    expectVec3(tank.position, glm::vec3(2, 0, 3), 1e-6f);
    EXPECT_EQ(tank.heading, 10.0f);
    EXPECT_EQ(tank.turretHeading, 40.0f);
    EXPECT_NEAR(tank.speed, -1.99f * -0.25f, 1e-6f);
    EXPECT_FLOAT_EQ(tank.transform.p.x, 2.0f);
    EXPECT_FLOAT_EQ(tank.transform.p.y, 3.0f);
    EXPECT_NEAR(tank.transform.q.s, std::sin(10.0f * 3.14159265f / 180.0f), 1e-6f);
}

TEST_F(TankTest, DrawPlacesHullAndTurretWithTheirOwnHeadings) {
    Tank& tank = makeTank(1, 2, 3, 30);
    tank.turretHeading = 75;
    tank.alpha = 0.4f;
    tank.draw();
    EXPECT_EQ(hull->draws, 1);
    EXPECT_EQ(turret->draws, 1);
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3));
    EXPECT_EQ(hull->translationMatrix, t);
    EXPECT_EQ(turret->translationMatrix, t);
    EXPECT_EQ(hull->rotationMatrix, rotateDegrees(glm::mat4(1.0f), 30, glm::vec3(0, 1, 0)));
    EXPECT_EQ(turret->rotationMatrix, rotateDegrees(glm::mat4(1.0f), 75, glm::vec3(0, 1, 0)));
    EXPECT_EQ(hull->scaleMatrix, glm::mat4(1.0f));
    EXPECT_EQ(hull->alpha, 0.4f);
    EXPECT_EQ(turret->alpha, 0.4f);

    tank.heading = 45;
    tank.drawShadow(program, glGetUniformLocation(program, "M"));
    EXPECT_EQ(hull->shadowDraws, 1);
    EXPECT_EQ(turret->shadowDraws, 1);
    EXPECT_EQ(hull->draws, 1);
    EXPECT_EQ(hull->rotationMatrix, rotateDegrees(glm::mat4(1.0f), 45, glm::vec3(0, 1, 0)));
}

TEST_F(TankTest, SharedMeshesAreDeletedByTheFirstTankOnly) {
    makeTank();
    makeTank();
    tanks.front().reset();
    EXPECT_TRUE(tankMeshesReleased);
    tanks.back().reset(); // must not delete the meshes again (the sanitizer would tell)
    EXPECT_TRUE(tankMeshesReleased);
}

} // namespace
