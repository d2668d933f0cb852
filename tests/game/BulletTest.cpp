// Bullet flight and lifetime, and the bullet system's list.
#include "GameFixtures.h"

#include "game/Angles.h"
#include "game/BulletSystem.h"

#include <gtest/gtest.h>

namespace {

class BulletTest : public ::testing::Test {
protected:
    Bullet& spawn(glm::vec3 direction, glm::vec3 position = glm::vec3(0.0f)) {
        system.spawn(direction, position, 20.0f, 10.0f, position, 0, 0);
        return system.bullets.back();
    }

    BulletSystem system{kTestBullet};
};

TEST_F(BulletTest, DirectionIsStoredUnitLength) {
    const Bullet& bullet = spawn(glm::vec3(0, 0, -2), glm::vec3(1, 2, 3));
    expectVec3(bullet.direction, glm::vec3(0, 0, -1), 0.0f);
    EXPECT_EQ(bullet.age, 0.0f);
    EXPECT_FALSE(bullet.dead);
    EXPECT_EQ(bullet.transform.p.x, 1.0f);
    EXPECT_EQ(bullet.transform.p.y, 3.0f);
    EXPECT_EQ(bullet.transform.q.s, 0.0f);
    EXPECT_EQ(bullet.transform.q.c, 1.0f);
    EXPECT_FLOAT_EQ(bullet.bottom, 2.0f);
    EXPECT_FLOAT_EQ(bullet.top, 2.1f);
    expectVec3(bullet.previousPosition, bullet.position, 0.0f);
}

TEST_F(BulletTest, TurretHeadingZeroFliesAlongMinusZ) {
    Bullet& bullet = spawn(headingDirection(0.0f));
    // Flight heading 180: the footprint's first corner (−0.1, −0.2) turns to (0.1, 0.2).
    EXPECT_NEAR(bullet.shape.m_vertices[0].x, 0.1f, 1e-5f);
    EXPECT_NEAR(bullet.shape.m_vertices[0].y, 0.2f, 1e-5f);
    EXPECT_NEAR(bullet.drawHeading(), 0.0f, 1e-4f);
}

TEST_F(BulletTest, TurretHeadingNinetyFliesAlongMinusX) {
    Bullet& bullet = spawn(headingDirection(90.0f));
    expectVec3(bullet.direction, glm::vec3(-1, 0, 0), 1e-6f);
    // Flight heading 270: (−0.1, −0.2) turns to (−0.2, 0.1).
    EXPECT_NEAR(bullet.shape.m_vertices[0].x, -0.2f, 1e-5f);
    EXPECT_NEAR(bullet.shape.m_vertices[0].y, 0.1f, 1e-5f);
    EXPECT_NEAR(bullet.drawHeading(), 90.0f, 1e-4f);
    EXPECT_NEAR(spawn(headingDirection(-135.0f)).drawHeading(), -135.0f, 1e-3f);
}

TEST_F(BulletTest, MovesAtItsSpeedAndFollowsWithItsBody) {
    Bullet& bullet = spawn(glm::vec3(1, 0, 0), glm::vec3(0, 0.5f, 0));
    bullet.update(0.016f);
    expectVec3(bullet.position, glm::vec3(0.32f, 0.5f, 0), 1e-6f);
    expectVec3(bullet.previousPosition, glm::vec3(0, 0.5f, 0), 0.0f);
    EXPECT_FLOAT_EQ(bullet.transform.p.x, 0.32f);
    EXPECT_FLOAT_EQ(bullet.bottom, 0.5f);
    EXPECT_FLOAT_EQ(bullet.age, 0.016f);
}

TEST_F(BulletTest, RemovedByTheUpdateWhoseAgePassesTheLifetime) {
    spawn(glm::vec3(0, 0, -1));
    for (int i = 1; i <= 625; ++i) {
        system.updateAll(0.016f);
        ASSERT_EQ(system.bullets.size(), 1u) << "removed in update " << i;
    }
    system.updateAll(0.016f);
    EXPECT_TRUE(system.bullets.empty());
}

TEST_F(BulletTest, DeadBulletGoesWithTheNextUpdate) {
    Bullet& hit = spawn(glm::vec3(0, 0, -1));
    spawn(glm::vec3(1, 0, 0));
    hit.dead = true;
    system.updateAll(0.016f);
    ASSERT_EQ(system.bullets.size(), 1u);
    expectVec3(system.bullets.front().direction, glm::vec3(1, 0, 0), 0.0f);
}

TEST_F(BulletTest, ClearRemovesTheBullets) {
    system.clear();
    EXPECT_TRUE(system.bullets.empty());
    spawn(glm::vec3(0, 0, -1));
    spawn(glm::vec3(0, 0, 1));
    system.clear();
    EXPECT_TRUE(system.bullets.empty());
}

} // namespace
