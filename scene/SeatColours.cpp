#include "scene/SeatColours.h"

#include <array>

namespace seat_colours {

namespace {
// The player's tank keeps the camouflage's own colours and shows light blue on the radar; the
// computer's is painted rust-orange. The others are as far apart as eight colours go.
const std::array<SeatColour, kCount> kColours{{
    {{1.0f, 1.0f, 1.0f}, {0.25f, 0.8f, 1.0f, 1.0f}},
    {{1.0f, 0.44f, 0.22f}, {1.0f, 0.42f, 0.16f, 1.0f}},
    {{0.45f, 0.95f, 0.35f}, {0.4f, 0.95f, 0.3f, 1.0f}},
    {{0.75f, 0.5f, 1.0f}, {0.8f, 0.5f, 1.0f, 1.0f}},
    {{1.0f, 0.9f, 0.3f}, {1.0f, 0.92f, 0.25f, 1.0f}},
    {{1.0f, 0.3f, 0.35f}, {1.0f, 0.25f, 0.3f, 1.0f}},
    {{0.3f, 0.95f, 0.9f}, {0.3f, 1.0f, 0.9f, 1.0f}},
    {{1.0f, 0.55f, 0.8f}, {1.0f, 0.55f, 0.85f, 1.0f}},
}};
} // namespace

const SeatColour& colour(std::size_t index) {
    return kColours[index < kCount ? index : kPlayer];
}

std::size_t of(const MatchState& state, int seat, int ownSeat) {
    if (state.mode == Mode::Duel) {
        return seat == ownSeat ? kPlayer : kComputer;
    }
    const int index = state.teams ? state.seats[static_cast<std::size_t>(seat)].team : seat;
    return static_cast<std::size_t>(index) % kCount;
}

} // namespace seat_colours
