#include "game/MatchState.h"

bool Seat::wantsToMove() const {
    if (driver != Driver::Computer) {
        return false;
    }
    if (skill != Skill::Classic) {
        return skilled.wantsToMove();
    }
    return controller.state == AiState::MOVE_FOR || controller.state == AiState::MOVE_BACK;
}

bool MatchState::enemies(int first, int second) const {
    if (first == second) {
        return false;
    }
    return !teams || seats[static_cast<std::size_t>(first)].team !=
                         seats[static_cast<std::size_t>(second)].team;
}
