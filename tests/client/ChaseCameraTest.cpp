// The chase camera's placement, zoom, orbit and free look.
#include "client/ChaseCamera.h"
#include "game/Angles.h"
#include "game/BodySizes.h"
#include "game/Match.h"
#include "support/VecExpect.h"

#include "../game/Scenario.h"

#include <gtest/gtest.h>

namespace {

class ChaseCameraTest : public ::testing::Test {
protected:
    // The player's tank standing at spot with hull and turret turned to heading.
    Tank& standing(glm::vec3 spot, float heading) {
        Tank& tank = match.tank(0);
        tank.heading = tank.turretHeading = heading;
        placeTank(tank, spot);
        return tank;
    }
    void place() {
        camera.beginStep();
        camera.place(match, 0);
    }

    Match match{1u, {Driver::Human, Driver::Human}};
    ChaseCamera camera;
};

TEST_F(ChaseCameraTest, FollowsTheTurretNotTheHull) {
    Tank& tank = standing(glm::vec3(0.0f, 0.0f, 5.0f), 0.0f);
    placeTank(match.tank(1), glm::vec3(0.0f, 0.0f, -5.0f));
    tank.turretHeading = 90.0f; // looking along −X, the eye on the +X side
    place();
    expectVec3(camera.target, glm::vec3(0.0f, 1.0f, 5.0f));
    expectVec3(camera.eye, glm::vec3(8.660254f, 5.0f, 5.0f), 1e-4f);
    camera.yaw = 90.0f;
    for (int tick = 0; tick < 30; ++tick) {
        place();
    }
    // The eye has swung round behind the tank, to the +Z side, where the arena's edge wall
    // (its face at z 9.7) keeps it 0.3 in front, on the line to the point looked at.
    EXPECT_NEAR(camera.eye.x, 0.0f, 1e-3f);
    EXPECT_NEAR(camera.eye.z, 9.4f, 1e-3f);
    const glm::vec3 way = glm::normalize(camera.eye - camera.target);
    expectVec3(way, glm::normalize(glm::vec3(0.0f, 4.0f, 8.660254f)), 1e-3f);
}

// Backed flush against the arena's edge wall, turret away from it: there is no room behind
// the tank, so the eye comes up and forward, a little each tick, to the steepest pitch and as
// close as kMinDistance, and never onto the tank's roof.
TEST_F(ChaseCameraTest, AWallBehindBringsTheEyeUpAndForwardWithinItsLimits) {
    Tank& tank = standing(glm::vec3(-7.0f, 0.035f, 2.0f), 0.0f); // looking along −Z
    place();
    EXPECT_NEAR(camera.eye.z, 9.4f, 1e-3f) << "held in front of the south wall";
    // Backing to the wall's face at z 9.7.
    float highest = 0.0f;
    EventList events;
    for (int tick = 0; tick < 120; ++tick) {
        SeatCommands commands;
        commands[0].drive = -TankCommand::kFullDrive;
        match.step(commands, events);
        const glm::vec3 before = camera.eye;
        place();
        EXPECT_LE(glm::length(camera.eye - before), ChaseCamera::kMaxEyeStep + 1e-4f) << tick;
        const glm::vec3 offset = camera.eye - camera.target;
        const float pitch =
            std::atan2(offset.y, glm::length(glm::vec2(offset.x, offset.z))) * 57.29578f;
        highest = std::max(highest, pitch);
        EXPECT_LE(pitch, ChaseCamera::kMaxPitch + 1e-3f) << tick;
        EXPECT_GE(glm::length(offset), ChaseCamera::kMinDistance - 1e-3f) << tick;
        EXPECT_LE(camera.eye.z, 9.4f + 1e-3f) << tick;
    }
    EXPECT_GT(tank.position.z, 8.5f) << "backed up to the wall";
    EXPECT_NEAR(highest, ChaseCamera::kMaxPitch, 1e-3f);
    EXPECT_GT(camera.eye.y, tank.position.y + CameraSpace::kTankHeight + 0.3f)
        << "above the turret";
    EXPECT_LT(camera.playerOpacity(), 1.0f) << "so close, the tank turns see-through";
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
    camera.orbit(true, {130, 190}); // pitch 75, past the steepest: dropped, yaw still turns
    EXPECT_EQ(camera.yaw, 15.0f);
    EXPECT_EQ(camera.pitch, 35.0f);
    camera.orbit(false, {130, 230});
    EXPECT_FALSE(camera.orbitDragging);
    camera.orbit(true, {500, 500}); // a new drag records again
    EXPECT_EQ(camera.yaw, 15.0f);
}

// Free look turns the camera alone: the hull and the turret leave it where the mouse put it.
TEST_F(ChaseCameraTest, FreeLookLooksWhereItIsTurnedWhateverTheTankDoes) {
    Tank& tank = standing(glm::vec3(-5.0f, 0.035f, 5.0f), 0.0f);
    camera.freeLook = true;
    camera.lookAlong(tank);
    camera.turn(-90.0f); // right: looking along +X
    EXPECT_EQ(camera.heading(tank), -90.0f);
    tank.heading = tank.turretHeading = 45.0f;
    EXPECT_EQ(camera.heading(tank), -90.0f);
    camera.turn(-100.0f);
    EXPECT_EQ(camera.heading(tank), 170.0f) << "kept within −180 to 180";
}

TEST(ChaseCameraProjectionTest, ATallWindowKeepsTheWidthOfAFourByThreeOne) {
    // A point at the right edge of a 4:3 view stays at the right edge of a 1:2 window's view.
    const glm::vec4 wide = ChaseCamera::projection() * glm::vec4(-10.0f, 0.0f, -10.0f, 1.0f);
    const glm::vec4 tall = ChaseCamera::projection(0.5f) * glm::vec4(-10.0f, 0.0f, -10.0f, 1.0f);
    EXPECT_NEAR(wide.x / wide.w, tall.x / tall.w, 1e-5f);
    // Upright, it sees farther up and down instead: twice as tall as wide, in world terms.
    const glm::vec4 up = ChaseCamera::projection(0.5f) * glm::vec4(0.0f, 10.0f, -10.0f, 1.0f);
    EXPECT_NEAR(up.y / up.w * 2.0f, wide.x / wide.w * -1.0f, 1e-5f);
    // 4:3 and wider: the game's own 45 degrees up and down.
    EXPECT_EQ(ChaseCamera::projection(16.0f / 9.0f),
              perspectiveDegrees(ChaseCamera::kFovDegrees, 16.0f / 9.0f, ChaseCamera::kNear,
                                 ChaseCamera::kFar));
}

} // namespace
