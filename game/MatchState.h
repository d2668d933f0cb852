#pragma once

#include "game/AiController.h"
#include "game/BulletSystem.h"
#include "game/Tank.h"

#include <array>
#include <cstdint>

// The seats of a match. In a game against the computer the player sits in the first.
inline constexpr int kSeatCount = 2;

// The rules a match is played under. Classic: every shot the trigger allows, every hit a life.
// Duel: a tank reloads for kReloadTicks after each shot, and a tank that has just lost a life
// cannot be hit for kGraceTicks.
enum class Rules : std::uint8_t { Classic, Duel };

// Who drives a seat: a person, whose commands come from outside, or the computer, whose
// commands come from the seat's controller.
enum class Driver : std::uint8_t { Human, Computer };

// Everything a match is, as plain values: the tick, the rules, both tanks, the bullets with
// their owners, who drives each seat, and each seat's computer controller with its random
// source. It can be copied, compared and restored; state_codec (StateCodec.h) gives it a stable
// form and a hash.
struct MatchState {
    MatchState(const std::array<Tank, kSeatCount>& tanks, const BulletSystem& bullets,
               const std::array<Driver, kSeatCount>& drivers,
               const std::array<AiController, kSeatCount>& controllers)
        : tanks(tanks), bullets(bullets), drivers(drivers), controllers(controllers) {}

    std::uint32_t tick = 0; // ticks stepped since the match was made
    Rules rules = Rules::Classic;
    std::array<Tank, kSeatCount> tanks;
    BulletSystem bullets;
    std::array<Driver, kSeatCount> drivers;
    std::array<AiController, kSeatCount> controllers;
};
