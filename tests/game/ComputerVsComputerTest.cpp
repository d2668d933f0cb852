// The computer's tanks on the real arena for minutes: no tank sticks to a spot, and rammed
// from every side a tank never ends a tick inside another.
#include "Scenario.h"

#include "GameFixtures.h"

#include "game/Angles.h"
#include "game/Match.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr int kTenMinutes = 10 * 60 * 60; // ticks
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

// How far two hulls reach into each other, beyond touching; 0 when apart.
float hullOverlap(const Tank& a, const Tank& b) {
    b2Manifold manifold;
    b2CollidePolygons(&manifold, &a.shape, a.transform, &b.shape, b.transform);
    b2WorldManifold contact;
    contact.Initialize(&manifold, a.transform, a.shape.m_radius, b.transform, b.shape.m_radius);
    float deepest = 0.0f;
    for (int i = 0; i < manifold.pointCount; ++i) {
        // The separation counts both polygon radii as part of the hulls.
        deepest =
            std::max(deepest, -(contact.separations[i] + a.shape.m_radius + b.shape.m_radius));
    }
    return deepest;
}

TEST(ComputerVsComputerTest, NoTankStaysNearOneSpotWhileDriving) {
    Match match(20261207u, {Driver::Computer, Driver::Computer});
    StayWatch first;
    StayWatch second;
    EventList events;
    int hits = 0;
    for (int tick = 0; tick < kTenMinutes; ++tick) {
        events.clear();
        match.step({}, events);
        for (const GameEvent& event : events) {
            hits += event.type == GameEventType::TankHit;
        }
        first.observe(match.tank(0), match.seat(0).controller.state);
        second.observe(match.tank(1), match.seat(1).controller.state);
    }
    std::cout << "longest stay near one spot while driving: first tank " << first.longest
              << " s, second tank " << second.longest << " s; " << hits << " hits" << std::endl;
    EXPECT_LE(first.longest, kLongestAllowed);
    EXPECT_LE(second.longest, kLongestAllowed);
    EXPECT_GT(hits, 0); // they did meet
}

// A minute of ramming: the second tank drives at the first, which stands in the open or with
// its back to a wall, from eight sides in turn, pushes on for a second and backs off; at every
// tick of it the hulls reach into each other by at most 0.05.
TEST(ComputerVsComputerTest, RammedFromEverySideTheHullsStayApart) {
    constexpr int kMinute = 60 * 60;
    constexpr int kTicksPerRam = kMinute / 16;
    Match match(9u, {Driver::Human, Driver::Human});
    Tank& rammed = match.tank(0);
    Tank& rammer = match.tank(1);
    const glm::vec3 stands[] = {{0.0f, 0.045f, 5.0f}, {0.0f, 0.045f, 8.6f}};
    float deepest = 0.0f;
    int contacts = 0;
    EventList events;
    for (int ram = 0; ram < 16; ++ram) {
        const glm::vec3 stand = stands[ram / 8];
        const float from = 45.0f * static_cast<float>(ram % 8);
        placeTank(rammed, stand);
        rammed.speed = 0.0f;
        rammer.speed = 0.0f;
        rammer.heading = rammer.turretHeading = from + 180.0f;
        placeTank(rammer, stand - 6.0f * headingDirection(rammer.heading));
        for (int tick = 0; tick < kTicksPerRam; ++tick) {
            SeatCommands commands;
            commands[0].aim = TankCommand::aimOf(rammed.turretHeading);
            const glm::vec3 toward = rammed.position - rammer.position;
            commands[1].aim = TankCommand::aimOf(headingOf(glm::normalize(toward)));
            const bool backingOff = tick > kTicksPerRam * 3 / 4;
            commands[1].drive = backingOff ? -TankCommand::kFullDrive : TankCommand::kFullDrive;
            // Steer the hull after the turret, so the ram keeps coming.
            const float off = headingDifference(rammer.heading, headingOf(glm::normalize(toward)));
            commands[1].turn =
                static_cast<std::int16_t>(std::clamp(off * 400.0f, -10000.0f, 10000.0f));
            events.clear();
            match.step(commands, events);
            for (const GameEvent& event : events) {
                contacts +=
                    event.type == GameEventType::Log && std::string(event.text) == "TANKS collided";
            }
            deepest = std::max(deepest, hullOverlap(rammed, rammer));
        }
    }
    std::cout << "deepest overlap of the hulls in a minute of ramming: " << deepest << " units, "
              << contacts << " contact lines" << std::endl;
    EXPECT_GT(contacts, 16) << "the rams must have met";
    EXPECT_LE(deepest, 0.05f);
}

} // namespace
