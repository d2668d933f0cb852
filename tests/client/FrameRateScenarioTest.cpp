// One scripted player on the real arena at frame rates from 7 to 500 per second: the game must
// come out the same at every rate, because it advances in fixed steps and no input is lost.
#include "../game/Scenario.h"

#include "client/PlayerControls.h"
#include "game/Match.h"
#include "platform/FixedStep.h"
#include "platform/InputState.h"
#include "platform/Keys.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// A player's key or button going down or up at a moment of real time.
struct ScriptedInput {
    double seconds;
    bool button; // a mouse button, else a key
    int code;
    KeyAction action;
};

// Plays a script on a match the way the game loop does at a given frame rate: each frame runs
// the fixed steps real time calls for, each reading the input once into the player's command,
// then takes the input that arrived until the next frame. onStep sees every step's number
// (from 1) and events.
void playAtFrameRate(Match& match, int framesPerSecond, double seconds,
                     const std::vector<ScriptedInput>& script,
                     const std::function<void(int, const EventList&)>& onStep) {
    constexpr float kStep = Match::kTickSeconds;
    InputState input;
    PlayerControls controls;
    FixedStep clock;
    EventList events;
    std::size_t next = 0;
    int stepNumber = 0;
    const int frames = static_cast<int>(seconds * framesPerSecond + 0.5);
    for (int frame = 0; frame <= frames; ++frame) {
        const int due = frame == 0 ? 0 : clock.advance(1.0 / framesPerSecond);
        for (int step = 0; step < due; ++step) {
            events.clear();
            SeatCommands commands;
            commands[0] =
                PlayerControls::command(controls.read(input, kStep), match.tank(0), kStep);
            match.step(commands, events);
            onStep(++stepNumber, events);
        }
        // What the player does before the next frame reaches the window's input now.
        const double nextFrame = static_cast<double>(frame + 1) / framesPerSecond;
        while (next < script.size() && script[next].seconds < nextFrame - 1e-9) {
            const ScriptedInput& event = script[next++];
            if (event.button) {
                input.buttonEvent(event.code, event.action);
            } else {
                input.keyEvent(event.code, event.action);
            }
        }
    }
}

constexpr int kFrameRates[] = {7, 12, 30, 60, 144, 500};
// A seed whose opponent does not break off at random (1 in 1000 a step) in its first 100 steps.
constexpr unsigned int kAiSeed = 1;

ScriptedInput key(double seconds, int code, KeyAction action) {
    return {seconds, false, code, action};
}

// A click or key tap shorter than any frame, a millisecond after the given moment.
void tap(std::vector<ScriptedInput>& script, double seconds, int code, bool button) {
    script.push_back({seconds + 0.001, button, code, KeyAction::Press});
    script.push_back({seconds + 0.002, button, code, KeyAction::Release});
}

struct Outcome {
    glm::vec3 player;
    glm::vec3 computer;
    int firstComputerChange = 0; // the step of the computer's first state line
    std::string firstComputerLine;
    int shots = 0;
    int selfHits = 0;
};

// Drives towards +X while turning, fires at full speed, turns the turret, jumps and fires
// again: five seconds.
Outcome playTheScript(int framesPerSecond) {
    std::vector<ScriptedInput> script = {
        key(0.0, keys::kW, KeyAction::Press),   key(0.0, keys::kD, KeyAction::Press),
        key(1.0, keys::kD, KeyAction::Release), key(3.0, keys::kW, KeyAction::Release),
        key(3.0, keys::kQ, KeyAction::Press),   key(4.0, keys::kQ, KeyAction::Release)};
    tap(script, 1.0, buttons::kLeft, true);
    tap(script, 3.0, keys::kSpace, false);
    tap(script, 4.0, buttons::kLeft, true);
    std::stable_sort(
        script.begin(), script.end(),
        [](const ScriptedInput& a, const ScriptedInput& b) { return a.seconds < b.seconds; });

    Match match(kAiSeed);
    Outcome outcome;
    playAtFrameRate(match, framesPerSecond, 5.0, script, [&](int step, const EventList& events) {
        for (const GameEvent& event : events) {
            if (event.type == GameEventType::Log && outcome.firstComputerChange == 0 &&
                std::strcmp(event.text, "SHOOT") != 0) {
                outcome.firstComputerChange = step;
                outcome.firstComputerLine = event.text;
            }
            outcome.shots += event.type == GameEventType::Shot && event.seat == 0;
            if (event.type == GameEventType::TankHit && event.seat == 0) {
                for (const Bullet& bullet : match.state.bullets.bullets) {
                    outcome.selfHits +=
                        bullet.dead && bullet.position == event.position && bullet.owner == 0;
                }
            }
        }
    });
    outcome.player = match.tank(0).position;
    outcome.computer = match.tank(1).position;
    return outcome;
}

TEST(FrameRateScenarioTest, EveryFrameRatePlaysTheSameGame) {
    const Outcome reference = playTheScript(60);
    // The script did what it says: two shots, a jump, and the tank drove off its spawn point.
    EXPECT_EQ(reference.shots, 2);
    EXPECT_GT(glm::length(reference.player - glm::vec3(0, 0.05f, 5)), 5.0f);
    for (int rate : kFrameRates) {
        SCOPED_TRACE(std::to_string(rate) + " frames per second");
        const Outcome outcome = playTheScript(rate);
        expectVec3(outcome.player, reference.player, 0.01f);
        expectVec3(outcome.computer, reference.computer, 0.01f);
        // The computer waits exactly 100 steps before it first drives off.
        EXPECT_EQ(outcome.firstComputerChange, 101);
        EXPECT_EQ(outcome.firstComputerLine, "IDLE -> MOVE_FOR");
        EXPECT_EQ(outcome.shots, 2);
        EXPECT_EQ(outcome.selfHits, 0);
    }
}

struct RingWall {
    const char* name;
    int piece;           // index in the arena's list
    glm::vec3 closeSpot; // the tank's centre 0.05 from the wall: the muzzle lies beyond it
    float towardsWall;   // turret heading, degrees
    glm::vec3 backOff;   // from closeSpot to a spot six units further from the wall
};

const RingWall kRingWalls[] = {
    {"area 1, +Z", 1, {0, 0.05f, 8.65f}, 180, {0, 0, -6}},
    {"area 1, -Z", 3, {3, 0.05f, -8.65f}, 0, {0, 0, 6}},
    {"area 1, -X", 5, {-8.65f, 0.05f, 4}, 90, {6, 0, 0}},
    {"area 2, +Z", 14, {20, 1.14f, 8.65f}, 180, {0, 0, -6}},
    {"area 2, +X", 16, {28.65f, 1.14f, -6}, 270, {-6, 0, 0}},
};

// A shot at each ring wall, fired from right against it and from six units off, stops at that
// wall at every frame rate: no bullet passes through, however long a frame.
TEST(FrameRateScenarioTest, ShotsAtEveryRingWallStopThere) {
    std::vector<ScriptedInput> script;
    tap(script, 0.0, buttons::kLeft, true);
    for (const RingWall& wall : kRingWalls) {
        for (bool close : {true, false}) {
            for (int rate : kFrameRates) {
                SCOPED_TRACE(std::string(wall.name) + (close ? ", close, " : ", far, ") +
                             std::to_string(rate) + " frames per second");
                Match match(kAiSeed);
                Tank& tank = match.tank(0);
                tank.turretHeading = wall.towardsWall;
                placeTank(tank, close ? wall.closeSpot : wall.closeSpot + wall.backOff);
                std::vector<glm::vec3> wallHits;
                playAtFrameRate(match, rate, 1.0, script, [&](int, const EventList& events) {
                    for (const GameEvent& event : events) {
                        if (event.type == GameEventType::WallHit) {
                            wallHits.push_back(event.position);
                        }
                    }
                });
                // One burst for the wall, and one for its invisible twin when the shell reaches
                // into both; each lies on the wall: within its half-thickness and a shell's
                // length of its middle.
                ASSERT_FALSE(wallHits.empty());
                EXPECT_LE(wallHits.size(), 2u);
                const ArenaPiece& piece = match.arena.pieces[static_cast<size_t>(wall.piece)];
                const glm::vec2 across = glm::vec2(wall.backOff.x, wall.backOff.z) / 6.0f;
                for (const glm::vec3& hit : wallHits) {
                    const glm::vec2 offset(hit.x - piece.position.x, hit.z - piece.position.z);
                    EXPECT_LT(std::abs(glm::dot(offset, across)), 0.3f + 0.5f);
                }
                EXPECT_TRUE(match.state.bullets.bullets.empty());
            }
        }
    }
}

} // namespace
