// Mouse aim as the player has it: the captured pointer turns the camera, the turret follows at
// the rules' pace through the command's aim, the hull keeps its heading and drives its own way.
#include "client/GameClient.h"
#include "game/Angles.h"
#include "platform/Keys.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kMostTurretStep = Match::kPersonAimDegreesPerSecond * Match::kTickSeconds;

class MouseAimTest : public ::testing::Test {
protected:
    MouseAimTest() {
        Settings settings;
        settings.aim = AimScheme::Mouse;
        client = std::make_unique<GameClient>(7u, nullptr, nullptr, settings);
    }
    void tick() { client->tick(input); }
    void tap(int key) {
        input.keyEvent(key, KeyAction::Press);
        input.keyEvent(key, KeyAction::Release);
    }
    const Tank& tank() const { return client->flow->match.tank(GameClient::kPlayerSeat); }

    std::unique_ptr<GameClient> client;
    InputState input;
};

TEST_F(MouseAimTest, ThePointerTurnsTheCameraAndTheTurretFollowsAtTheRulesPace) {
    EXPECT_FALSE(client->wantsPointer()) << "the title leaves the pointer alone";
    tap(keys::kEnter);
    tick();
    ASSERT_TRUE(client->matchRunning());
    EXPECT_TRUE(client->wantsPointer());
    EXPECT_EQ(client->camera.lookHeading, 0.0f) << "a match starts looking along the turret";

    // The window captures the pointer; 200 pixels right turn the camera 30 degrees clockwise
    // at once, the turret after it.
    input.capturePointer(true);
    input.moveCursor({512, 384});
    input.moveCursor({712, 384});
    const float hull = tank().heading;
    float turret = tank().turretHeading;
    tick();
    EXPECT_NEAR(client->camera.lookHeading, -30.0f, 1e-4f);
    int ticks = 1;
    while (std::abs(headingDifference(tank().turretHeading, -30.0f)) > 1e-3f && ticks < 60) {
        const float step = headingDifference(turret, tank().turretHeading);
        EXPECT_LE(step, 0.0f) << "turns right";
        EXPECT_GE(step, -kMostTurretStep - 1e-4f) << "no faster than the rules allow";
        turret = tank().turretHeading;
        tick();
        ++ticks;
    }
    EXPECT_NEAR(headingDifference(tank().turretHeading, -30.0f), 0.0f, 1e-3f);
    EXPECT_EQ(ticks, static_cast<int>(std::ceil(30.0f / kMostTurretStep)));
    EXPECT_EQ(tank().heading, hull) << "the hull keeps its heading";
    EXPECT_NEAR(headingDifference(client->camera.heading(tank()), -30.0f), 0.0f, 1e-4f);

    // W drives the hull's way, and the camera does not turn with it.
    const glm::vec3 start = tank().position;
    input.keyEvent(keys::kW, KeyAction::Press);
    for (int i = 0; i < 30; ++i) {
        tick();
    }
    input.keyEvent(keys::kW, KeyAction::Release);
    const glm::vec3 moved = tank().position - start;
    EXPECT_GT(glm::length(moved), 1.0f);
    EXPECT_NEAR(glm::dot(glm::normalize(moved), headingDirection(hull)), 1.0f, 1e-4f);
    EXPECT_NEAR(client->camera.lookHeading, -30.0f, 1e-4f);

    // A and D turn the hull alone: the turret holds where the camera looks.
    input.keyEvent(keys::kA, KeyAction::Press);
    for (int i = 0; i < 30; ++i) {
        tick();
    }
    input.keyEvent(keys::kA, KeyAction::Release);
    tick();
    EXPECT_NEAR(headingDifference(hull, tank().heading), 50.0f, 0.5f);
    EXPECT_NEAR(headingDifference(tank().turretHeading, -30.0f), 0.0f, kMostTurretStep + 1e-3f);

    // Q turns the camera left at the keys' pace, and the pointer moving down raises it.
    const float pitch = client->camera.pitch;
    input.keyEvent(keys::kQ, KeyAction::Press);
    tick();
    input.keyEvent(keys::kQ, KeyAction::Release);
    EXPECT_NEAR(client->camera.lookHeading, -30.0f + kMostTurretStep, 1e-3f);
    input.moveCursor({712, 484});
    tick();
    EXPECT_NEAR(client->camera.pitch, pitch + 15.0f, 1e-3f);

    // The pad's right stick pushed fully right turns the camera right at the keys' pace.
    const float before = client->camera.lookHeading;
    PadState pad;
    pad.connected = true;
    pad.axes[pad::kLeftTrigger] = pad.axes[pad::kRightTrigger] = -1.0f;
    pad.axes[pad::kRightX] = 1.0f;
    input.padPolled(pad);
    tick();
    EXPECT_NEAR(client->camera.lookHeading, before - kMostTurretStep, 1e-3f);
}

// The options screen over the end screen takes the pointer back; the keys' scheme never has it.
TEST_F(MouseAimTest, ThePointerIsWantedOnlyInARunningMatchWithMouseAim) {
    tap(keys::kEnter);
    tick();
    EXPECT_TRUE(client->wantsPointer());
    tap(keys::kL);
    tick();
    EXPECT_FALSE(client->wantsPointer()) << "the end screen";
    tap(keys::kO);
    tick();
    ASSERT_TRUE(client->menu.open);
    for (int i = 0; i < OptionsMenu::kAim; ++i) {
        tap(keys::kDown);
        tick();
    }
    tap(keys::kRight);
    tick();
    EXPECT_EQ(client->settings.aim, AimScheme::Keys);
    tap(keys::kEscape);
    tick();
    tap(keys::kEnter);
    tick();
    ASSERT_TRUE(client->matchRunning());
    EXPECT_FALSE(client->wantsPointer()) << "keys";
    // With the keys' scheme a drag orbits as it always did, and Q turns the turret.
    input.keyEvent(keys::kQ, KeyAction::Press);
    tick();
    input.keyEvent(keys::kQ, KeyAction::Release);
    EXPECT_NEAR(tank().turretHeading, kMostTurretStep, 1e-4f);
    EXPECT_NEAR(headingDifference(client->camera.heading(tank()), tank().turretHeading), 0.0f,
                1e-3f);
}

} // namespace
