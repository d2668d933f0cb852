// Bullet flight, lifetime and drawing, and the bullet system's list.
#include "GameFixtures.h"

#include "game/BulletSystem.h"
#include "render/Math.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class BulletTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        mesh = makeBoundsMesh(program, glm::vec3(-0.1f, 0, -0.2f), glm::vec3(0.1f, 0.05f, 0.2f));
        system = std::make_unique<BulletSystem>(program, std::vector<Mesh*>{mesh});
    }
    void TearDown() override {
        system.reset();
        GameTest::TearDown();
    }
    Bullet& spawn(glm::vec3 direction, glm::vec3 position = glm::vec3(0.0f)) {
        system->spawn(direction, position, 20.0f, 10.0f);
        return *system->bullets.back();
    }
    glm::mat4 turnedBy(float degrees) {
        return rotateDegrees(glm::mat4(1.0f), degrees, glm::vec3(0, 1, 0));
    }

    CountingMesh* mesh = nullptr;
    std::unique_ptr<BulletSystem> system;
};

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5f) << "element " << c << "," << r;
        }
    }
}

TEST_F(BulletTest, SystemSetsItsMaterial) {
    EXPECT_FLOAT_EQ(system->material.ka, 0.2f);
    EXPECT_FLOAT_EQ(system->material.kd, 0.8f);
    EXPECT_FLOAT_EQ(system->material.ks, 1.0f);
    EXPECT_EQ(system->material.phongPower, 5u);
    EXPECT_EQ(system->material.ksLocation, glGetUniformLocation(program, "ks"));
    EXPECT_EQ(system->program, program);
}

TEST_F(BulletTest, DirectionIsStoredUnitLength) {
    const Bullet& bullet = spawn(glm::vec3(0, 0, -2), glm::vec3(1, 2, 3));
    expectVec3(bullet.direction, glm::vec3(0, 0, -1), 0.0f);
    EXPECT_EQ(bullet.age, 0.0f);
    EXPECT_FALSE(bullet.dead);
    EXPECT_EQ(bullet.meshes, system->meshes);
    EXPECT_EQ(bullet.transform.p.x, 1.0f);
    EXPECT_EQ(bullet.transform.p.y, 3.0f);
    EXPECT_EQ(bullet.transform.q.s, 0.0f);
    EXPECT_EQ(bullet.transform.q.c, 1.0f);
    EXPECT_FLOAT_EQ(bullet.bottom, 2.0f);
    EXPECT_FLOAT_EQ(bullet.top, 2.05f);
}

TEST_F(BulletTest, TurretHeadingZeroFliesAlongMinusZ) {
    Bullet& bullet = spawn(headingDirection(0.0f));
    // Flight heading 180: the footprint's first corner (−0.1, −0.2) turns to (0.1, 0.2).
    EXPECT_NEAR(bullet.shape.m_vertices[0].x, 0.1f, 1e-5f);
    EXPECT_NEAR(bullet.shape.m_vertices[0].y, 0.2f, 1e-5f);
    bullet.draw();
    expectMatrixNear(mesh->rotationMatrix, turnedBy(0.0f));
}

TEST_F(BulletTest, TurretHeadingNinetyFliesAlongMinusX) {
    Bullet& bullet = spawn(headingDirection(90.0f));
    expectVec3(bullet.direction, glm::vec3(-1, 0, 0), 1e-6f);
    // Flight heading 270: (−0.1, −0.2) turns to (−0.2, 0.1).
    EXPECT_NEAR(bullet.shape.m_vertices[0].x, -0.2f, 1e-5f);
    EXPECT_NEAR(bullet.shape.m_vertices[0].y, 0.1f, 1e-5f);
    bullet.drawShadow(program, glGetUniformLocation(program, "M"));
    expectMatrixNear(mesh->rotationMatrix, turnedBy(90.0f));
}

TEST_F(BulletTest, MovesAtItsSpeedAndFollowsWithItsBody) {
    Bullet& bullet = spawn(glm::vec3(1, 0, 0), glm::vec3(0, 0.5f, 0));
    bullet.update(0.016f);
    expectVec3(bullet.position, glm::vec3(0.32f, 0.5f, 0), 1e-6f);
    EXPECT_FLOAT_EQ(bullet.transform.p.x, 0.32f);
    EXPECT_FLOAT_EQ(bullet.bottom, 0.5f);
    EXPECT_FLOAT_EQ(bullet.age, 0.016f);
    bullet.draw();
    EXPECT_EQ(mesh->translationMatrix, glm::translate(glm::mat4(1.0f), bullet.position));
}

TEST_F(BulletTest, DeletedByTheUpdateWhoseAgePassesTheLifetime) {
    spawn(glm::vec3(0, 0, -1));
    for (int i = 1; i <= 625; ++i) {
        system->updateAll(0.016f);
        ASSERT_EQ(system->bullets.size(), 1u) << "deleted in update " << i;
    }
    system->updateAll(0.016f);
    EXPECT_TRUE(system->bullets.empty());
}

TEST_F(BulletTest, DeadBulletIsNotDrawnAndGoesWithTheNextUpdate) {
    Bullet& hit = spawn(glm::vec3(0, 0, -1));
    spawn(glm::vec3(1, 0, 0));
    hit.dead = true;

    for (Bullet* bullet : system->bullets) {
        bullet->draw();
        bullet->drawShadow(program, glGetUniformLocation(program, "M"));
    }
    EXPECT_EQ(mesh->draws, 1);
    EXPECT_EQ(mesh->shadowDraws, 1);

    system->updateAll(0.016f);
    ASSERT_EQ(system->bullets.size(), 1u);
    expectVec3(system->bullets.front()->direction, glm::vec3(1, 0, 0), 0.0f);
}

TEST_F(BulletTest, ClearDeletesTheBulletsButKeepsTheMeshes) {
    system->clear();
    EXPECT_TRUE(system->bullets.empty());
    spawn(glm::vec3(0, 0, -1));
    spawn(glm::vec3(0, 0, 1));
    system->clear();
    EXPECT_TRUE(system->bullets.empty());
    ASSERT_EQ(system->meshes.size(), 1u);
    EXPECT_EQ(system->meshes.front(), mesh);
    spawn(glm::vec3(0, 0, -1)).draw();
    EXPECT_EQ(mesh->draws, 1);
}

} // namespace
