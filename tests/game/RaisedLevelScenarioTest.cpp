// The raised level is in play: a jump at speed clears the low wall onto it, the tank drives
// back down, and no jump from either level leaves the arena.
#include "Scenario.h"

#include "GameFixtures.h"

#include "game/Match.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>

namespace {

constexpr float kLevelOneFloor = 0.01f + 0.05f * 0.5f; // slab 1's top
constexpr float kLevelTwoFloor = 1.1f + 0.05f * 0.5f;  // slab 2's top

class RaisedLevelTest : public ::testing::Test {
protected:
    // A match with the player standing at position, hull and turret turned to heading, and
    // the other tank idle out of the way.
    std::unique_ptr<Match> matchFrom(glm::vec3 position, float heading) {
        auto match = std::make_unique<Match>(5u, std::vector<Driver>{Driver::Human, Driver::Human});
        Tank& tank = match->tank(0);
        tank.heading = tank.turretHeading = heading;
        placeTank(tank, position);
        placeTank(match->tank(1), glm::vec3(-5.0f, kLevelOneFloor + 0.01f, -5.0f));
        return match;
    }
    // Ticks with the engine at full forward, the jump in tick jumpStep (from 1; 0: never).
    static void driveAndJump(Match& match, int steps, int jumpStep) {
        EventList events;
        for (int step = 1; step <= steps; ++step) {
            SeatCommands commands;
            commands[0].drive = TankCommand::kFullDrive;
            commands[0].aim = TankCommand::aimOf(match.tank(0).turretHeading);
            commands[0].jump = step == jumpStep;
            events.clear();
            match.step(commands, events);
        }
    }
};

bool onLevelTwo(const Tank& tank) {
    return tank.onGround && std::abs(tank.position.y - (kLevelTwoFloor + 0.01f)) < 1e-3f &&
           tank.position.x > 10.0f;
}

TEST_F(RaisedLevelTest, AJumpAtFullSpeedClearsTheLowWallOntoTheRaisedSlab) {
    // From the west of area 1 towards the low wall at x = 10, at full speed well before it.
    int firstLanding = 0;
    int lastLanding = 0;
    int landings = 0;
    for (int jumpStep = 20; jumpStep <= 80; ++jumpStep) {
        auto match = matchFrom(glm::vec3(-4.0f, kLevelOneFloor + 0.01f, 5.0f), -90.0f);
        driveAndJump(*match, 100, jumpStep);
        if (onLevelTwo(match->tank(0))) {
            firstLanding = firstLanding == 0 ? jumpStep : firstLanding;
            lastLanding = jumpStep;
            ++landings;
        }
    }
    const float windowMs = landings * kStep * 1000.0f;
    std::cout << "jumps landing on the raised slab: steps " << firstLanding << " to " << lastLanding
              << ", a window of " << windowMs << " ms" << std::endl;
    EXPECT_EQ(landings, lastLanding - firstLanding + 1) << "the window has a gap";
    EXPECT_GE(windowMs, 80.0f);
}

TEST_F(RaisedLevelTest, FromTheRaisedSlabTheTankDrivesBackDown) {
    // On slab 2 facing west, the low wall between it and area 1.
    auto match = matchFrom(glm::vec3(14.0f, kLevelTwoFloor + 0.01f, 5.0f), 90.0f);
    driveAndJump(*match, 90, 0);
    const Tank& tank = match->tank(0);
    EXPECT_LT(tank.position.x, 8.0f);
    EXPECT_TRUE(tank.onGround);
    EXPECT_NEAR(tank.position.y, kLevelOneFloor + 0.01f, 1e-3f);
}

struct JumpRun {
    const char* name;
    glm::vec3 start;
    float heading;
};

// Full-speed runs at every outer wall, from both levels, each jumped at every step of its way.
const JumpRun kRuns[] = {
    {"area 1 to +Z", {0, kLevelOneFloor + 0.01f, 2.0f}, 180},
    {"area 1 to -Z", {6, kLevelOneFloor + 0.01f, -2.0f}, 0},
    {"area 1 to -X", {6, kLevelOneFloor + 0.01f, 5}, 90},
    {"area 2 to +Z", {20, kLevelTwoFloor + 0.01f, -6}, 180},
    {"area 2 to +X", {13, kLevelTwoFloor + 0.01f, 5}, -90},
    {"area 2 to -Z", {27, kLevelTwoFloor + 0.01f, -16}, 0},
    {"area 2 to -X", {27, kLevelTwoFloor + 0.01f, -20}, 90},
    {"area 2 to the far -X", {27, kLevelTwoFloor + 0.01f, -25}, 90},
};

bool insideTheArena(glm::vec3 p) {
    const bool areaOne = p.x > -9.7f && p.x < 10.3f && p.z > -9.7f && p.z < 9.7f;
    const bool areaTwo = p.x > 9.7f && p.x < 29.7f && p.z > -29.7f && p.z < 9.7f;
    return areaOne || areaTwo;
}

TEST_F(RaisedLevelTest, NoJumpFromEitherLevelLeavesTheArena) {
    for (const JumpRun& run : kRuns) {
        for (int jumpStep = 1; jumpStep <= 120; jumpStep += 3) {
            SCOPED_TRACE(std::string(run.name) + ", jump in step " + std::to_string(jumpStep));
            auto match = matchFrom(run.start, run.heading);
            driveAndJump(*match, 150, jumpStep);
            const glm::vec3 p = match->tank(0).position;
            ASSERT_TRUE(insideTheArena(p)) << "at " << p.x << ", " << p.y << ", " << p.z;
            ASSERT_GT(p.y, 0.0f);
        }
    }
}

} // namespace
