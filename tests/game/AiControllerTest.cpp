// The computer opponent: aim, state machine, random draws and shooting.
#include "GameFixtures.h"

#include "game/AiController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Raw values that become the draws 0 (every "below" test succeeds) and 0.99997 (every "below"
// test fails, the jump test succeeds).
constexpr int kLow = 0;
constexpr int kHigh = 29999;

// The scripted random source: queued values first, then the fallback; every call is counted.
std::deque<int> script;
int fallback = kHigh;
int draws = 0;

int scriptedRandom() {
    ++draws;
    if (script.empty()) {
        return fallback;
    }
    const int value = script.front();
    script.pop_front();
    return value;
}

class AiControllerTest : public TankWorldTest {
protected:
    void SetUp() override {
        TankWorldTest::SetUp();
        aiRandomSource = scriptedRandom;
        script.clear();
        fallback = kHigh;
        draws = 0;
        ai = &addTank(glm::vec3(0, 0, 0), 180);
        player = &addTank(glm::vec3(0, 0, -10), 0);
        controller = std::make_unique<AiController>(ai, player);
    }
    void TearDown() override {
        aiRandomSource = std::rand;
        TankWorldTest::TearDown();
    }
    // One update of a 16 ms frame; returns what it wrote.
    std::string step() {
        CaptureStdout();
        controller->update(16.0f, 0.016f);
        return GetCapturedStdout();
    }

    Tank* ai = nullptr;
    Tank* player = nullptr;
    std::unique_ptr<AiController> controller;
};

TEST_F(AiControllerTest, StartsIdleForExactlyOneHundredUpdates) {
    EXPECT_EQ(controller->state, AiState::IDLE);
    EXPECT_EQ(controller->tank, ai);
    EXPECT_EQ(controller->opponent, player);
    for (int i = 1; i <= 100; ++i) {
        ASSERT_EQ(step(), "") << "update " << i;
        ASSERT_EQ(controller->state, AiState::IDLE);
    }
    EXPECT_EQ(step(), "IDLE -> MOVE_FOR\n");
    EXPECT_EQ(controller->state, AiState::MOVE_FOR);
    EXPECT_EQ(controller->stateFrames, 0u);
    EXPECT_EQ(controller->shootFrames, 101u);
    // One destuck draw per update, plus the shooting draw in the 101st.
    EXPECT_EQ(draws, 102);
}

TEST_F(AiControllerTest, TurretAimsAtTheOpponentInTheGroundPlane) {
    const struct {
        glm::vec3 opponent;
        float heading;
    } cases[] = {{{0, 0, -10}, 0}, {{-10, 0, 0}, 90}, {{10, 0, 0}, 270}, {{0, 0, 10}, 180}};
    for (const auto& c : cases) {
        player->position = c.opponent;
        step();
        EXPECT_NEAR(ai->turretHeading, c.heading, 1e-3f)
            << "opponent at " << c.opponent.x << "," << c.opponent.z;
        EXPECT_NEAR(glm::dot(ai->turretForward(), glm::normalize(c.opponent)), 1.0f, 1e-6f);
    }
}

TEST_F(AiControllerTest, TurretKeepsItsHeadingWithNoDirectionToTheOpponent) {
    player->position = glm::vec3(-10, 0, 0);
    step();
    player->position = ai->position;
    step();
    EXPECT_FALSE(std::isnan(ai->turretHeading));
    EXPECT_NEAR(ai->turretHeading, 90.0f, 1e-3f);
    player->position = ai->position + glm::vec3(0, 3, 0); // straight above
    step();
    EXPECT_NEAR(ai->turretHeading, 90.0f, 1e-3f);
}

TEST_F(AiControllerTest, JumpDrawOnlyWhileTheOpponentIsHigher) {
    step();
    EXPECT_EQ(draws, 1); // the destuck draw alone

    player->position.y = 1.0f;
    draws = 0;
    script = {kLow}; // a jump draw of 0 does not jump
    step();
    EXPECT_EQ(draws, 2);
    EXPECT_TRUE(ai->onGround);

    script = {kHigh};
    step();
    EXPECT_FALSE(ai->onGround);
}

TEST_F(AiControllerTest, DrawsComeInTheStatedOrder) {
    player->position.y = 1.0f;
    controller->state = AiState::MOVE_FOR;
    controller->stateFrames = 100;
    controller->shootFrames = 100;
    // jump: yes; leave MOVE_FOR: yes; towards TURN_PLUS; destuck: no; shoot: yes.
    script = {kHigh, kLow, kHigh, kHigh, kLow};
    EXPECT_EQ(step(), "MOVE -> TURN_PLUS\nSHOOT\n");
    EXPECT_EQ(draws, 5);
    EXPECT_EQ(controller->state, AiState::TURN_PLUS);
    EXPECT_EQ(controller->stateFrames, 0u);
    EXPECT_EQ(controller->shootFrames, 0u);
    EXPECT_FALSE(ai->onGround);
    EXPECT_EQ(bullets->bullets.size(), 1u);
    EXPECT_FALSE(ai->triggerHeld);
}

TEST_F(AiControllerTest, StateDrawsWaitForTheMinimumTime) {
    controller->state = AiState::TURN_MINUS;
    controller->stateFrames = 49;
    step(); // 50 updates: no state draw yet
    EXPECT_EQ(draws, 1);
    script = {kHigh}; // the 51st: the leave draw fails, so no second draw
    step();
    EXPECT_EQ(draws, 3);
    script = {kLow, kLow}; // leave, towards MOVE_BACK
    EXPECT_EQ(step(), "TURN -> MOVE_BACK\n");
    EXPECT_EQ(controller->state, AiState::MOVE_BACK);
    controller->stateFrames = 100;
    script = {kLow, kHigh}; // leave, towards TURN_PLUS
    EXPECT_EQ(step(), "MOVE -> TURN_PLUS\n");
    controller->stateFrames = 60;
    script = {kLow, kHigh};
    EXPECT_EQ(step(), "TURN -> MOVE_FOR\n");
    controller->stateFrames = 100;
    script = {kLow, kLow};
    EXPECT_EQ(step(), "MOVE -> TURN_MINUS\n");
}

TEST_F(AiControllerTest, StatesDriveTheTank) {
    controller->state = AiState::MOVE_FOR;
    step();
    EXPECT_NEAR(ai->speed, -0.19f, 1e-6f);
    controller->state = AiState::MOVE_BACK;
    step();
    step();
    EXPECT_NEAR(ai->speed, 0.19f, 1e-6f);

    // The turn comes after the aim: the turret is off the opponent by 75 × dt.
    ai->speed = 0;
    controller->state = AiState::TURN_PLUS;
    step();
    EXPECT_NEAR(ai->turretHeading, 1.2f, 1e-4f);
    EXPECT_NEAR(ai->heading, 181.2f, 1e-4f);
    controller->state = AiState::STUCK;
    step();
    EXPECT_NEAR(ai->turretHeading, -1.2f, 1e-4f);
    EXPECT_NEAR(ai->heading, 180.0f, 1e-4f);
    EXPECT_NEAR(ai->speed, 0.205f, 1e-6f); // 0.215 backward input, then friction
}

TEST_F(AiControllerTest, RandAlwaysZeroStaysStuckAndFiresEveryHundredAndOneUpdates) {
    fallback = kLow;
    player->position.y = 1.0f; // higher, yet a draw of 0 never jumps
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
        ASSERT_TRUE(ai->onGround);
    }
    EXPECT_EQ(bullets->bullets.size(), 6u);
}

TEST_F(AiControllerTest, GameSourceIsRand) {
    aiRandomSource = std::rand;
    std::srand(7);
    std::rand();
    const int second = std::rand();
    std::srand(7);
    CaptureStdout();
    controller->update(16.0f, 0.016f); // one draw: the destuck test
    GetCapturedStdout();
    EXPECT_EQ(std::rand(), second);
}

} // namespace
