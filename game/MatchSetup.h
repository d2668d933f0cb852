#pragma once

#include "game/Skill.h"

#include <cstdint>

// The rules a match is played under. Classic: every shot the trigger allows, every hit a life.
// Duel: a tank reloads for kReloadTicks after each shot, and a tank that has just lost a life
// cannot be hit for kGraceTicks. A battle always reloads as Duel does.
enum class Rules : std::uint8_t { Classic, Duel };

// What a match is won by. Duel: two tanks with five lives each, the last one standing wins.
// Battle: 2 to 8 tanks, free-for-all or two teams; a hit destroys a tank and scores a frag for
// the shooter, the tank comes back shielded after a pause, and the most frags at the frag or the
// time limit win.
enum class Mode : std::uint8_t { Duel, Battle };

// Who drives a seat: a person, whose commands come from outside, or the computer, whose
// commands come from the seat's controller.
enum class Driver : std::uint8_t { Human, Computer };

// How a match is set up: its mode, rules, seats and limits. Any values may be asked for;
// clamped() gives the ones a match is played with.
struct MatchSetup {
    static constexpr int kMinSeats = 2;
    static constexpr int kMaxSeats = 8;
    static constexpr int kMinFragLimit = 1;
    static constexpr int kMaxFragLimit = 99;
    static constexpr int kMinTimeLimitSeconds = 60;
    static constexpr int kMaxTimeLimitSeconds = 3600;

    Mode mode = Mode::Duel;
    Rules rules = Rules::Classic; // a duel's; a battle plays Duel's reload
    int seats = kMinSeats;        // a duel has two
    bool teams = false;           // a battle of two teams, seats alternating
    int fragLimit = 10;
    int timeLimitSeconds = 300;
    // Who the computer is in every seat it drives: Classic in a duel, as the game has always
    // played, Veteran in a battle.
    Skill skill = Skill::Classic;

    // The game of one person against the computer, under rules.
    static MatchSetup duel(Rules rules = Rules::Classic, Skill skill = Skill::Classic) {
        MatchSetup setup;
        setup.rules = rules;
        setup.skill = skill;
        return setup;
    }
    static MatchSetup battle(int seats, bool teams = false, int fragLimit = 10,
                             int timeLimitSeconds = 300, Skill skill = Skill::Veteran) {
        MatchSetup setup;
        setup.mode = Mode::Battle;
        setup.rules = Rules::Duel;
        setup.seats = seats;
        setup.teams = teams;
        setup.fragLimit = fragLimit;
        setup.timeLimitSeconds = timeLimitSeconds;
        setup.skill = skill;
        return setup;
    }

    // Every value within its range: a duel has two seats and no teams, a battle 2 to 8 seats
    // and Duel's reload.
    MatchSetup clamped() const;

    bool operator==(const MatchSetup& other) const {
        return mode == other.mode && rules == other.rules && seats == other.seats &&
               teams == other.teams && fragLimit == other.fragLimit &&
               timeLimitSeconds == other.timeLimitSeconds && skill == other.skill;
    }
    bool operator!=(const MatchSetup& other) const { return !(*this == other); }
};
