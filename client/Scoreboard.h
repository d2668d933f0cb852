#pragma once

#include "game/MatchSetup.h"
#include "game/MatchState.h"

#include <array>
#include <cstddef>

// One line of the scoreboard: a seat, who sits there and how it fares.
struct ScoreLine {
    int seat = 0;
    const char* name = "";
    int team = 0;
    int frags = 0;
    int deaths = 0;
    int roundTripMs = -1; // a person's on a server; −1 for the computer or on one machine
    bool own = false;     // the player's own seat
};

// The seats of a match ranked: the most frags first, then the fewest deaths, then by seat.
// Built without allocating.
class Scoreboard {
public:
    // Ranks the seats of state; source names each seat (seatName) and gives the round trip to
    // its person (seatRoundTripMs, −1 for none); own is the player's seat.
    template <typename Source> void rank(const MatchState& state, const Source& source, int own) {
        count = 0;
        for (int seat = 0; seat < state.seatCount(); ++seat) {
            const Seat& at = state.seats[static_cast<std::size_t>(seat)];
            lines[count++] = {seat,      source.seatName(seat),        at.team,    at.frags,
                              at.deaths, source.seatRoundTripMs(seat), seat == own};
        }
        sort();
    }

    const ScoreLine* begin() const { return lines.data(); }
    const ScoreLine* end() const { return lines.data() + count; }
    std::size_t size() const { return count; }
    const ScoreLine& operator[](std::size_t index) const { return lines[index]; }

private:
    void sort();

    std::array<ScoreLine, MatchSetup::kMaxSeats> lines{};
    std::size_t count = 0;
};
