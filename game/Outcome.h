#pragma once

#include "game/GameEvent.h"

#include <cstdint>

// How a match stands: running, won by one tank or by a team, or drawn.
struct Outcome {
    enum class Kind : std::uint8_t { Running, Won, Draw };

    Kind kind = Kind::Running;
    int seat = kNoSeat; // won by one tank: its seat
    int team = kNoTeam; // won by a team: which

    static Outcome wonBySeat(int seat) { return {Kind::Won, seat, kNoTeam}; }
    static Outcome wonByTeam(int team) { return {Kind::Won, kNoSeat, team}; }
    static Outcome draw() { return {Kind::Draw, kNoSeat, kNoTeam}; }

    bool running() const { return kind == Kind::Running; }
    bool operator==(const Outcome& other) const {
        return kind == other.kind && seat == other.seat && team == other.team;
    }
    bool operator!=(const Outcome& other) const { return !(*this == other); }
};
