#include "game/MatchState.h"

bool MatchState::enemies(int first, int second) const {
    if (first == second) {
        return false;
    }
    return !teams || seats[static_cast<std::size_t>(first)].team !=
                         seats[static_cast<std::size_t>(second)].team;
}
