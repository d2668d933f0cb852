// The chase camera's placement, zoom and orbit.
#include "client/ChaseCamera.h"
#include "game/BodySizes.h"
#include "game/Match.h"
#include "support/VecExpect.h"

#include "../game/Scenario.h"

#include <gtest/gtest.h>

namespace {

class ChaseCameraTest : public ::testing::Test {
protected:
    // The player's tank standing at spot with hull and turret turned to heading.
    const Tank& standing(glm::vec3 spot, float heading) {
        Tank& tank = match.tank(0);
        tank.heading = tank.turretHeading = heading;
        placeTank(tank, spot);
        return tank;
    }

    Match match{1u};
    ChaseCamera camera;
};

TEST_F(ChaseCameraTest, FollowsTheTurretNotTheHull) {
    Tank tank = standing(glm::vec3(0.0f, 0.0f, 5.0f), 0.0f);
    tank.turretHeading = 90.0f; // looking along −X
    camera.place(tank, match.arena);
    expectVec3(camera.target, glm::vec3(0.0f, 1.0f, 5.0f));
    expectVec3(camera.eye, glm::vec3(8.660254f, 5.0f, 5.0f), 1e-4f);
    camera.yaw = 90.0f;
    camera.place(tank, match.arena);
    // The eye swings round behind the tank, to the +Z side, where the ground's edge brings it
    // in along the line to the point looked at.
    EXPECT_NEAR(camera.eye.x, 0.0f, 1e-4f);
    EXPECT_NEAR(camera.eye.z, 10.0f - 0.3f * 8.660254f / glm::length(glm::vec2(8.660254f, 4.0f)),
                1e-3f);
}

// On the raised slab just south of a post, turret towards −Z: the post stands between the tank
// and where the eye would hang, so near that the eye would come closer than the see-through
// distance; it rises over the post instead and looks down on the tank, and settles back down
// as the tank drives clear.
TEST_F(ChaseCameraTest, APieceInTheWayRaisesTheEyeOverItRatherThanCloser) {
    const Tank& tank = standing(glm::vec3(15.0f, 1.135f, -2.5f), 0.0f);
    camera.place(tank, match.arena);
    EXPECT_GT(camera.rise, 0.0f);
    EXPECT_GE(glm::length(camera.eye - camera.target), ChaseCamera::kSeeThroughDistance);
    EXPECT_EQ(match.arena.firstObstacle(camera.target, camera.eye, 0.3f), 1.0f);
    EXPECT_EQ(camera.playerOpacity(), 1.0f);

    const float risen = camera.rise;
    standing(glm::vec3(15.0f, 1.135f, -10.5f), 0.0f); // far south of the post
    camera.place(tank, match.arena);
    EXPECT_NEAR(camera.rise, risen - 1.5f, 1e-4f) << "it settles back gently";
    for (int tick = 0; tick < 60; ++tick) {
        camera.place(tank, match.arena);
    }
    EXPECT_EQ(camera.rise, 0.0f);
}

TEST_F(ChaseCameraTest, ZoomMovesByWholeNotchesWithinItsRangeAndCloseTheTankFades) {
    camera.zoom(8);
    EXPECT_EQ(camera.distance, 2.0f);
    EXPECT_NEAR(camera.playerOpacity(), 2.0f / 3.0f, 1e-6f);
    camera.zoom(9); // 2 → 1 leaves the range: dropped, not clamped
    EXPECT_EQ(camera.distance, 2.0f);
    camera.zoom(7);
    EXPECT_EQ(camera.distance, 4.0f);
    EXPECT_EQ(camera.playerOpacity(), 1.0f) << "out past 3 in one notch: whole again";
    camera.zoom(-9);
    EXPECT_EQ(camera.distance, 20.0f);
    camera.zoom(-10); // 20 → 21 is dropped
    EXPECT_EQ(camera.distance, 20.0f);
}

TEST_F(ChaseCameraTest, OrbitStartsOnTheSecondTickOfADragAndDropsPitchOutOfRange) {
    camera.orbit(true, {100, 100}); // records only
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.pitch, 30.0f);
    camera.orbit(true, {120, 110});
    EXPECT_EQ(camera.yaw, 10.0f);
    EXPECT_EQ(camera.pitch, 35.0f);
    camera.orbit(true, {130, 230}); // pitch 95: dropped, yaw still turns
    EXPECT_EQ(camera.yaw, 15.0f);
    EXPECT_EQ(camera.pitch, 35.0f);
    camera.orbit(false, {130, 230});
    EXPECT_FALSE(camera.orbitDragging);
    camera.orbit(true, {500, 500}); // a new drag records again
    EXPECT_EQ(camera.yaw, 15.0f);
}

} // namespace
