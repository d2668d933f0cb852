// A gamepad plays a match through the window's input, as polled pad states, beside the keyboard.
#include "client/PlayerControls.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

constexpr float kPulled = 1.0f; // trigger axis
constexpr float kLetGo = -1.0f;
constexpr auto kStepSeconds = static_cast<float>(FixedStep::kStepSeconds);

class PadScenarioTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        state.connected = true;
        state.axes[pad::kLeftTrigger] = kLetGo;
        state.axes[pad::kRightTrigger] = kLetGo;
        window().injectPad(state);
    }

    // The pad as it is now, polled before each of `steps` steps; returns the shots fired.
    int hold(int steps) {
        int shots = 0;
        for (int i = 0; i < steps; ++i) {
            window().injectPad(state);
            step();
            shots += static_cast<int>(std::count_if(
                scene->client.events.begin(), scene->client.events.end(),
                [](const GameEvent& event) { return event.type == GameEventType::Shot; }));
        }
        return shots;
    }

    int pullTrigger(float to) {
        state.axes[pad::kRightTrigger] = to;
        return hold(1);
    }

    void tapButton(int button) {
        state.buttons[button] = true;
        hold(1);
        state.buttons[button] = false;
        hold(1);
    }

    void stick(int xAxis, glm::vec2 deflection) {
        state.axes[xAxis] = deflection.x;
        state.axes[xAxis + 1] = deflection.y;
    }

    bool titleListsPad() {
        frame();
        return std::any_of(scene->texts.begin(), scene->texts.end(), [](const TextLine& line) {
            return std::strcmp(line.text, "GAMEPAD") == 0;
        });
    }

    PadState state;
};

// The same steps on a plain match with the keys held instead, for the exact poses the sticks
// must give when pushed fully.
class KeyboardReference {
public:
    KeyboardReference() : match(SceneTest::kAiSeed) {}

    void hold(std::initializer_list<int> held, int steps) {
        for (int key : held) {
            keys.keyEvent(key, KeyAction::Press);
        }
        for (int i = 0; i < steps; ++i) {
            events.clear();
            const PlayerInput input = controls.read(keys, kStepSeconds);
            match.step(
                {PlayerControls::command(input, match.tank(GameClient::kPlayerSeat), kStepSeconds),
                 {}},
                events);
        }
        for (int key : held) {
            keys.keyEvent(key, KeyAction::Release);
        }
    }

    Match match;
    InputState keys;
    PlayerControls controls;
    EventList events;
};

void expectSamePose(const Tank& pad, const Tank& keys) {
    EXPECT_EQ(pad.position, keys.position);
    EXPECT_EQ(pad.heading, keys.heading);
    EXPECT_EQ(pad.turretHeading, keys.turretHeading);
    EXPECT_EQ(pad.speed, keys.speed);
}

TEST_F(PadScenarioTest, SticksDriveTurnAndAimExactlyLikeTheKeysOutsideTheDeadZone) {
    EXPECT_TRUE(titleListsPad());
    state.buttons[pad::kStart] = true;
    hold(1);
    state.buttons[pad::kStart] = false;
    ASSERT_TRUE((scene->client.flow->phase() != Phase::Title));
    KeyboardReference reference;
    reference.hold({}, 1); // the step that started the match

    const TankPose spawn = player().pose();
    stick(pad::kLeftX, {0.15f, -0.12f});
    stick(pad::kRightX, {-0.1f, 0.15f});
    hold(30);
    reference.hold({}, 30);
    expectSamePose(player(),
                   reference.match.tank(GameClient::kPlayerSeat)); // settled on the ground
    EXPECT_EQ(player().position.x, spawn.position.x);
    EXPECT_EQ(player().position.z, spawn.position.z);
    EXPECT_EQ(player().heading, spawn.heading);
    EXPECT_EQ(player().turretHeading, spawn.turretHeading);
    EXPECT_EQ(camera().pitch, 30.0f);

    // Forward, with W held too: the two join and stay a full request.
    stick(pad::kLeftX, {0.0f, -1.0f});
    window().injectKey(keys::kW, KeyAction::Press);
    hold(30);
    window().injectKey(keys::kW, KeyAction::Release);
    reference.hold({keys::kW}, 30);
    expectSamePose(player(), reference.match.tank(GameClient::kPlayerSeat));

    stick(pad::kLeftX, {-1.0f, 0.0f});
    stick(pad::kRightX, {1.0f, 0.0f});
    hold(20);
    reference.hold({keys::kA, keys::kE}, 20);
    expectSamePose(player(), reference.match.tank(GameClient::kPlayerSeat));
    EXPECT_NE(player().turretHeading, player().heading);

    // A third of a second of the right stick pulled back raises the camera 20 degrees, and
    // more of it no further than its steepest.
    stick(pad::kLeftX, {0.0f, 0.0f});
    stick(pad::kRightX, {0.0f, 1.0f});
    hold(20);
    EXPECT_NEAR(camera().pitch, 50.0f, 1e-3f);
    hold(20);
    EXPECT_LT(camera().pitch, ChaseCamera::kMaxPitch);
    EXPECT_GE(camera().pitch, ChaseCamera::kMaxPitch - 1.0f);
}

TEST_F(PadScenarioTest, TriggerFiresOncePerPullAndButtonsJumpZoomRestartAndQuit) {
    tapButton(pad::kStart);
    ASSERT_TRUE((scene->client.flow->phase() != Phase::Title));

    EXPECT_EQ(pullTrigger(kPulled) + hold(20), 1) << "held: one shot";
    EXPECT_EQ(pullTrigger(kLetGo) + pullTrigger(0.2f), 1) << "past half way: the second";
    EXPECT_EQ(pullTrigger(-0.3f) + pullTrigger(0.2f), 0) << "not let go below a quarter";
    EXPECT_EQ(pullTrigger(kLetGo) + pullTrigger(0.2f), 1) << "let go, pulled again";
    state.connected = false;
    EXPECT_EQ(hold(1), 0);
    state.connected = true;
    EXPECT_EQ(hold(1), 1) << "plugged in again with the trigger pulled";

    tapButton(pad::kA);
    EXPECT_FALSE(player().onGround) << "A jumps";

    tapButton(pad::kRightBumper);
    EXPECT_EQ(camera().distance, 9.0f);
    tapButton(pad::kLeftBumper);
    EXPECT_EQ(camera().distance, 10.0f);
    state.buttons[pad::kRightBumper] = true;
    hold(40); // a notch at the press and one every 0.15 s after it
    state.buttons[pad::kRightBumper] = false;
    EXPECT_EQ(camera().distance, 5.0f);

    tap(keys::kL);
    step();
    ASSERT_TRUE((scene->client.flow->phase() == Phase::Ended));
    CaptureStdout();
    tapButton(pad::kStart);
    EXPECT_EQ(GetCapturedStdout().find("RESTART GAME"), 0u);
    EXPECT_FALSE((scene->client.flow->phase() == Phase::Ended));
    EXPECT_EQ(player().lives, 5);

    state.buttons[pad::kBack] = true;
    hold(50);
    EXPECT_FALSE(scene->quitRequested()) << "BACK held for 0.83 s";
    hold(12);
    EXPECT_TRUE(scene->quitRequested()) << "BACK held for 1.03 s";
}

TEST_F(PadScenarioTest, UnpluggedPadDrivesNothingAndLeavesTheTitleList) {
    EXPECT_TRUE(titleListsPad());
    stick(pad::kLeftX, {0.0f, -1.0f});
    state.connected = false;
    window().injectPad(state);
    EXPECT_FALSE(titleListsPad());
    tap(keys::kEnter);
    hold(30);
    EXPECT_EQ(player().speed, 0.0f);
    state.connected = true;
    hold(1);
    EXPECT_LT(player().speed, 0.0f) << "plugged in again: the stick drives forward";
}

} // namespace
