// Ten minutes of the computer against itself on the real arena: no tank sticks to a spot.
#include "Scenario.h"

#include "GameFixtures.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr int kTenMinutes = 10 * 60 * 60; // steps
constexpr float kSpotRadius = 0.5f;       // units
constexpr float kLongestAllowed = 3.0f;   // seconds

bool driving(AiState state) {
    return state == AiState::MOVE_FOR || state == AiState::MOVE_BACK;
}

// How long a tank has stayed near one spot while its controller wanted it to drive.
struct StayWatch {
    void observe(const Tank& tank, AiState state) {
        if (!driving(state) || glm::length(tank.position - spot) > kSpotRadius) {
            spot = tank.position;
            seconds = 0.0f;
            return;
        }
        seconds += kStep;
        longest = std::max(longest, seconds);
    }
    glm::vec3 spot{0.0f};
    float seconds = 0.0f;
    float longest = 0.0f;
};

TEST(ComputerVsComputerTest, NoTankStaysNearOneSpotWhileDriving) {
    Match match(realModelBounds(), 20261207u);
    // The player's tank gets a computer driver of its own: the same rules, another seed.
    AiController playerDriver(match.playerTank, match.aiTank, 77u);
    StayWatch computer;
    StayWatch player;
    EventList events;
    int hits = 0;
    for (int step = 0; step < kTenMinutes; ++step) {
        events.clear();
        match.playerTank.beginStep();
        match.aiTank.beginStep();
        playerDriver.update(kStep, events);
        match.ai.update(kStep, events);
        match.bullets.updateAll(kStep);
        match.detector.detect(events);
        for (const GameEvent& event : events) {
            hits += event.type == GameEventType::TankHit;
        }
        player.observe(match.playerTank, playerDriver.state);
        computer.observe(match.aiTank, match.ai.state);
    }
    std::cout << "longest stay near one spot while driving: player's tank " << player.longest
              << " s, computer's tank " << computer.longest << " s; " << hits << " hits"
              << std::endl;
    EXPECT_LE(player.longest, kLongestAllowed);
    EXPECT_LE(computer.longest, kLongestAllowed);
    EXPECT_GT(hits, 0); // they did meet
}

} // namespace
