// The computer opponent: the commands its aim, state machine, random draws and shooting make.
#include "GameFixtures.h"

#include "game/AiController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <memory>
#include <string>

namespace {

// Raw values that become the draws 0 (every "below" test succeeds) and 0.99997 (every "below"
// test fails, the jump test succeeds).
constexpr unsigned int kLow = 0;
constexpr unsigned int kHigh = 29999;

// A controller whose draws are scripted: queued values first, then the fallback; every draw is
// counted.
class ScriptedAi : public AiController {
public:
    using AiController::AiController;
    std::deque<unsigned int> script;
    unsigned int fallback = kHigh;
    int draws = 0;

protected:
    unsigned int nextDraw() override {
        ++draws;
        if (script.empty()) {
            return fallback;
        }
        const unsigned int value = script.front();
        script.pop_front();
        return value;
    }
};

class AiControllerTest : public TankWorldTest {
protected:
    void SetUp() override {
        ai = &addTank(glm::vec3(0, 0, 0), 180);
        player = &addTank(glm::vec3(0, 0, -10), 0);
        controller = std::make_unique<ScriptedAi>(1u);
    }
    // One tick; keeps its command and returns the lines it logged.
    std::string step() {
        EventList events;
        command = controller->command(*ai, player, events);
        std::string log;
        for (const GameEvent& event : events) {
            log += std::string(event.text) + "\n";
        }
        return log;
    }

    Tank* ai = nullptr;
    Tank* player = nullptr;
    std::unique_ptr<ScriptedAi> controller;
    TankCommand command;
    std::deque<unsigned int>& script() { return controller->script; }
};

TEST_F(AiControllerTest, StartsIdleForExactlyOneHundredUpdates) {
    EXPECT_EQ(controller->state, AiState::IDLE);
    for (int i = 1; i <= 100; ++i) {
        ASSERT_EQ(step(), "") << "update " << i;
        ASSERT_EQ(controller->state, AiState::IDLE);
    }
    EXPECT_EQ(step(), "IDLE -> MOVE_FOR\n");
    EXPECT_EQ(controller->state, AiState::MOVE_FOR);
    EXPECT_EQ(controller->stateFrames, 0u);
    EXPECT_EQ(controller->shootFrames, 101u);
    // One destuck draw per update, plus the shooting draw in the 101st.
    EXPECT_EQ(controller->draws, 102);
}

TEST_F(AiControllerTest, TurretAimsAtTheOpponentInTheGroundPlane) {
    const struct {
        glm::vec3 opponent;
        float heading;
    } cases[] = {{{0, 0, -10}, 0}, {{-10, 0, 0}, 90}, {{10, 0, 0}, 270}, {{0, 0, 10}, 180}};
    for (const auto& c : cases) {
        player->position = c.opponent;
        step();
        EXPECT_EQ(command.aimDegrees(), c.heading)
            << "opponent at " << c.opponent.x << "," << c.opponent.z;
    }
}

TEST_F(AiControllerTest, TurretKeepsItsHeadingWithNoDirectionToTheOpponent) {
    ai->turretHeading = 450.0f; // a heading of 90 after a turn and a quarter
    player->position = ai->position;
    step();
    EXPECT_EQ(command.aimDegrees(), 90.0f);
    player->position = ai->position + glm::vec3(0, 3, 0); // straight above
    step();
    EXPECT_EQ(command.aimDegrees(), 90.0f);
}

TEST_F(AiControllerTest, JumpDrawOnlyWhileTheOpponentIsHigher) {
    step();
    EXPECT_EQ(controller->draws, 1); // the destuck draw alone

    player->position.y = 1.0f;
    controller->draws = 0;
    script() = {kLow}; // a jump draw of 0 does not jump
    step();
    EXPECT_EQ(controller->draws, 2);
    EXPECT_FALSE(command.jump);

    script() = {kHigh};
    step();
    EXPECT_TRUE(command.jump);
}

TEST_F(AiControllerTest, DrawsComeInTheStatedOrder) {
    player->position.y = 1.0f;
    controller->state = AiState::MOVE_FOR;
    controller->stateFrames = 100;
    controller->shootFrames = 100;
    // jump: yes; leave MOVE_FOR: yes; towards TURN_PLUS; destuck: no; shoot: yes.
    script() = {kHigh, kLow, kHigh, kHigh, kLow};
    EXPECT_EQ(step(), "MOVE -> TURN_PLUS\nSHOOT\n");
    EXPECT_EQ(controller->draws, 5);
    EXPECT_EQ(controller->state, AiState::TURN_PLUS);
    EXPECT_EQ(controller->stateFrames, 0u);
    EXPECT_EQ(controller->shootFrames, 0u);
    EXPECT_TRUE(command.jump);
    EXPECT_TRUE(command.fire);
}

TEST_F(AiControllerTest, StateDrawsWaitForTheMinimumTime) {
    controller->state = AiState::TURN_MINUS;
    controller->stateFrames = 49;
    step(); // 50 updates: no state draw yet
    EXPECT_EQ(controller->draws, 1);
    script() = {kHigh}; // the 51st: the leave draw fails, so no second draw
    step();
    EXPECT_EQ(controller->draws, 3);
    script() = {kLow, kLow}; // leave, towards MOVE_BACK
    EXPECT_EQ(step(), "TURN -> MOVE_BACK\n");
    EXPECT_EQ(controller->state, AiState::MOVE_BACK);
    controller->stateFrames = 100;
    script() = {kLow, kHigh}; // leave, towards TURN_PLUS
    EXPECT_EQ(step(), "MOVE -> TURN_PLUS\n");
    controller->stateFrames = 60;
    script() = {kLow, kHigh};
    EXPECT_EQ(step(), "TURN -> MOVE_FOR\n");
    controller->stateFrames = 100;
    script() = {kLow, kLow};
    EXPECT_EQ(step(), "MOVE -> TURN_MINUS\n");
}

TEST_F(AiControllerTest, StatesWorkTheEngineAndTheTurn) {
    const struct {
        AiState state;
        std::int16_t drive; // thousandths of speed a tick: 0.2 as the keys, 0.215 backing off
        std::int16_t turn;  // hundredths of a degree a second: 75 degrees
    } cases[] = {{AiState::IDLE, 0, 0},           {AiState::MOVE_FOR, 200, 0},
                 {AiState::MOVE_BACK, -200, 0},   {AiState::TURN_PLUS, 0, 7500},
                 {AiState::TURN_MINUS, 0, -7500}, {AiState::STUCK, -215, -7500}};
    for (const auto& c : cases) {
        controller->state = c.state;
        controller->stateFrames = 0;
        step();
        EXPECT_EQ(command.drive, c.drive) << static_cast<int>(c.state);
        EXPECT_EQ(command.turn, c.turn) << static_cast<int>(c.state);
        EXPECT_EQ(command.aimDegrees(), 0.0f) << "aimed at the opponent whatever the state";
    }
}

TEST_F(AiControllerTest, RandAlwaysZeroStaysStuckAndFiresEveryHundredAndOneUpdates) {
    controller->fallback = kLow;
    player->position.y = 1.0f; // higher, yet a draw of 0 never jumps
    int shots = 0;
    for (int update = 1; update <= 700; ++update) {
        std::string expected;
        if (update == 1) {
            expected = "RAND. DESTUCK\n";
        } else if ((update - 1) % 151 == 0) {
            expected = "STUCK -> IDLE\nRAND. DESTUCK\n";
        }
        if (update % 101 == 0) {
            expected += "SHOOT\n";
        }
        ASSERT_EQ(step(), expected) << "update " << update;
        ASSERT_EQ(controller->state, AiState::STUCK);
        ASSERT_FALSE(command.jump);
        shots += command.fire;
    }
    EXPECT_EQ(shots, 6);
}

TEST_F(AiControllerTest, TheSameSeedMakesTheSameChoicesAndAnotherStreamOthers) {
    AiController first(42u);
    AiController second(42u);
    AiController otherStream(42u, Random::kDefaultStream + 1);
    EventList firstEvents;
    EventList secondEvents;
    EventList otherEvents;
    int differing = 0;
    for (int tick = 0; tick < 3000; ++tick) {
        const TankCommand a = first.command(*ai, player, firstEvents);
        ASSERT_EQ(a, second.command(*ai, player, secondEvents)) << "tick " << tick;
        differing += a != otherStream.command(*ai, player, otherEvents);
    }
    ASSERT_GT(firstEvents.size(), 10u);
    ASSERT_EQ(firstEvents.size(), secondEvents.size());
    for (std::size_t i = 0; i < firstEvents.size(); ++i) {
        EXPECT_STREQ(firstEvents[i].text, secondEvents[i].text);
    }
    EXPECT_GT(differing, 100);
}

// A driving state that has been blocked for a second on end gives up as if its time were over.
TEST_F(AiControllerTest, BlockedDrivingStateGivesUpAfterASecond) {
    controller->state = AiState::MOVE_FOR;
    ai->blockedSteps = 59;
    EXPECT_EQ(step(), "");
    ai->blockedSteps = 60;
    script() = {kHigh}; // the way it turns: TURN_PLUS
    EXPECT_EQ(step(), "MOVE -> TURN_PLUS\n");
    EXPECT_EQ(controller->stateFrames, 0u);
}

} // namespace
