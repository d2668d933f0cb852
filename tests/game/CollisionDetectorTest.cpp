// The collision rules between tanks, bullets and arena pieces.
#include "GameFixtures.h"

#include "game/CollisionDetector.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class CollisionDetectorTest : public TankWorldTest {
protected:
    void SetUp() override {
        TankWorldTest::SetUp();
        box = makeBoundsMesh(program, glm::vec3(-1, 0, -1), glm::vec3(1, 1, 1));
        boxMeshes = {box};
        CaptureStdout(); // the particle programs report themselves
        particles = std::make_unique<ParticleEffects>();
        GetCapturedStdout();
        detector =
            std::make_unique<CollisionDetector>(&tankList, &walls, bullets.get(), particles.get());
    }
    void TearDown() override {
        detector.reset();
        particles.reset();
        tankList.clear();
        for (ArenaPiece* piece : walls) {
            delete piece;
        }
        delete box;
        TankWorldTest::TearDown();
    }
    // The player's tank is made (and listed) first here; the footprint takes the heading.
    Tank& listTank(glm::vec3 position, float heading = 0) {
        Tank& tank = addTank(position, heading);
        tank.update(0, false);
        tankList.push_back(&tank);
        return tank;
    }
    // A box piece of the given size (X, Y, Z) centred on (x, z) and standing on y.
    ArenaPiece& addPiece(glm::vec3 position, glm::vec3 size, bool visible = true) {
        const glm::vec3 scale(size.x * 0.5f, size.y, size.z * 0.5f); // the box is 2 × 1 × 2
        walls.push_back(new ArenaPiece(&boxMeshes, position, 0, scale, program));
        walls.back()->visible = visible;
        return *walls.back();
    }
    Bullet& addBullet(glm::vec3 position) {
        bullets->spawn(glm::vec3(0, 0, -1), position, 20, 10);
        return *bullets->bullets.back();
    }
    std::string detectAndLog() {
        CaptureStdout();
        detector->detect();
        return GetCapturedStdout();
    }

    CountingMesh* box = nullptr;
    std::vector<Mesh*> boxMeshes;
    std::unique_ptr<ParticleEffects> particles;
    std::vector<ArenaPiece*> walls;
    std::unique_ptr<CollisionDetector> detector;
};

TEST_F(CollisionDetectorTest, TanksDrivenNoseToNoseAreBothMovedBack) {
    Tank& player = listTank(glm::vec3(0, 0, 0), 0);
    Tank& ai = listTank(glm::vec3(0, 0, -2.05f), 180);
    player.speed = ai.speed = -2.0f;
    player.update(16, false);
    ai.update(16, false); // each moves 0.0796 towards the other and they overlap

    EXPECT_EQ(detectAndLog(), "TANKS collided\nTANKS collided\n");
    expectVec3(player.position, glm::vec3(0, 0, 0), 1e-6f);
    expectVec3(ai.position, glm::vec3(0, 0, -2.05f), 1e-6f);
    EXPECT_NEAR(player.speed, 0.4975f, 1e-6f); // −1.99 × −0.25
    EXPECT_NEAR(ai.speed, 0.4975f, 1e-6f);
}

TEST_F(CollisionDetectorTest, SecondTankIsTestedAgainstTheFirstOnesRestoredPlace) {
    Tank& player = listTank(glm::vec3(0, 0, 0), 0);
    Tank& ai = listTank(glm::vec3(0, 0, -2.06f), 180);
    player.speed = -2.0f;
    player.update(16, false); // into the AI tank by about 0.02; back home it is 0.06 clear
    ai.update(16, false);

    EXPECT_EQ(detectAndLog(), "TANKS collided\n");
    expectVec3(player.position, glm::vec3(0, 0, 0), 1e-6f);
    expectVec3(ai.position, glm::vec3(0, 0, -2.06f), 1e-6f);
    EXPECT_EQ(ai.speed, 0.0f);
}

TEST_F(CollisionDetectorTest, ContactMarginIsTwiceThePolygonRadius) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(2.015f, -0.1f, 0), glm::vec3(2, 5, 2));  // 0.015 apart: touching
    addPiece(glm::vec3(-2.025f, -0.1f, 0), glm::vec3(2, 5, 2)); // 0.025 apart: clear
    tank.speed = 1.0f;
    detector->detect();
    EXPECT_FLOAT_EQ(tank.speed, -0.25f); // undone once, by the near piece only
}

TEST_F(CollisionDetectorTest, PieceAroundTheRaisedBottomBlocks) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(1.5f, -0.1f, 0), glm::vec3(2, 5, 2)); // bottom −0.1, top 4.9
    tank.speed = -2.0f;
    tank.turn(10);
    tank.update(16, false);

    EXPECT_EQ(detectAndLog(), "");
    expectVec3(tank.position, glm::vec3(0, 0.07f, 0), 1e-6f);
    EXPECT_EQ(tank.heading, 0.0f);
    EXPECT_NEAR(tank.speed, 0.4975f, 1e-6f);
    EXPECT_EQ(tank.floorLevel, 0.0f);
}

TEST_F(CollisionDetectorTest, TwoBlockingPiecesUndoTheMoveTwice) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(1.5f, -0.1f, 0), glm::vec3(2, 5, 2));
    addPiece(glm::vec3(-1.5f, -0.1f, 0), glm::vec3(2, 5, 2));
    tank.speed = -1.01f;
    tank.update(16, false); // speed −1, moved 0.04 along −Z
    detector->detect();
    EXPECT_NEAR(tank.speed, -0.0625f, 1e-6f);
    expectVec3(tank.position, glm::vec3(0, 0.07f, 0.04f), 1e-6f);
}

TEST_F(CollisionDetectorTest, InvisiblePiecesBlockTanksAndBullets) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(1.5f, -0.1f, 0), glm::vec3(2, 15, 2), false);
    Bullet& bullet = addBullet(glm::vec3(1.5f, 3, 5));
    tank.speed = 1.0f;
    detector->detect();
    EXPECT_FLOAT_EQ(tank.speed, -0.25f);
    EXPECT_FALSE(bullet.dead);

    bullet.update(0.25f);          // 5 units along −Z: inside the piece, 3 above its bottom
    EXPECT_EQ(detectAndLog(), ""); // a hit on a piece writes nothing
    EXPECT_TRUE(bullet.dead);
    EXPECT_EQ(particles->nextSystem, 1);
}

TEST_F(CollisionDetectorTest, SlabUnderTheTankBecomesItsFloor) {
    Tank& tank = listTank(glm::vec3(0, 0.07f, 0));
    addPiece(glm::vec3(0, 0.01f, 0), glm::vec3(20, 0.05f, 20)); // top 0.06: t = 0.08 is above
    tank.speed = -1.0f;
    detector->detect();
    EXPECT_FLOAT_EQ(tank.floorLevel, 0.06f);
    EXPECT_FLOAT_EQ(tank.speed, -1.0f);

    // The last piece in list order that does not block sets the floor.
    addPiece(glm::vec3(0, -1, 0), glm::vec3(20, 1, 20));
    detector->detect();
    EXPECT_FLOAT_EQ(tank.floorLevel, 0.0f);
    // With no piece beneath, the floor stays.
    tank.position.x = 50;
    tank.update(0, false);
    detector->detect();
    EXPECT_FLOAT_EQ(tank.floorLevel, 0.0f);
}

TEST_F(CollisionDetectorTest, PieceWhoseTopIsExactlyTheRaisedBottomIsAFloor) {
    Tank& tank = listTank(glm::vec3(0, 1.0f, 0));
    const float raised = 1.0f + 0.01f;
    addPiece(glm::vec3(0.5f, 0, 0), glm::vec3(2, raised, 2));
    ASSERT_EQ(walls.back()->top, raised);
    tank.speed = -1.0f;
    detector->detect();
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
    EXPECT_EQ(particles->nextSystem, 0);

    Bullet& inside = addBullet(glm::vec3(0.5f, 0.51f, 0.5f));
    EXPECT_EQ(detectAndLog(), "Bullet Hits TANK\n");
    EXPECT_TRUE(inside.dead);
    EXPECT_EQ(tank.lives, 4);
    EXPECT_EQ(particles->nextSystem, 1);
}

TEST_F(CollisionDetectorTest, HitOnATankWithNoLivesLeftStillCounts) {
    Tank& tank = listTank(glm::vec3(0, 0, 0));
    tank.lives = 0;
    Bullet& bullet = addBullet(glm::vec3(0, 0.5f, 0));
    EXPECT_EQ(detectAndLog(), "Bullet Hits TANK\n");
    EXPECT_TRUE(bullet.dead);
    EXPECT_EQ(tank.lives, 0);
    EXPECT_EQ(particles->nextSystem, 1);
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
    EXPECT_EQ(particles->nextSystem, 3); // one burst per hit
    EXPECT_EQ(player.speed, 0.0f);       // the tanks themselves stay apart
}

TEST_F(CollisionDetectorTest, BulletBesidePieceHeightMissesIt) {
    addPiece(glm::vec3(0, 1, 0), glm::vec3(2, 2, 2));
    Bullet& below = addBullet(glm::vec3(0, 0.5f, 0));
    Bullet& onBottom = addBullet(glm::vec3(0, 1, 0));
    Bullet& onTop = addBullet(glm::vec3(0, 3, 0));
    detector->detect();
    EXPECT_FALSE(below.dead);
    EXPECT_FALSE(onBottom.dead);
    EXPECT_FALSE(onTop.dead);
    EXPECT_EQ(particles->nextSystem, 0);
}

} // namespace
