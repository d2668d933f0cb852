#pragma once

#include "game/MatchState.h"

#include <glm/glm.hpp>

#include <cstddef>

// The colours a tank is shown in: a tint over its camouflage, and a brighter mark for the radar,
// its name and the scoreboard. In a duel your tank has the player's colours and the other the
// computer's, whichever seat is yours; in a battle each seat has its own, or in a battle of two
// teams its team's (the first team the player's, the second the computer's).
namespace seat_colours {

inline constexpr std::size_t kCount = 8;
inline constexpr std::size_t kPlayer = 0;
inline constexpr std::size_t kComputer = 1;

struct SeatColour {
    glm::vec3 tint;
    glm::vec4 mark;
};

const SeatColour& colour(std::size_t index);
// The index of the seat's colour, as seen by the player in ownSeat (on the title, the first).
std::size_t of(const MatchState& state, int seat, int ownSeat);

} // namespace seat_colours
