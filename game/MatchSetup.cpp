#include "game/MatchSetup.h"

#include <algorithm>

MatchSetup MatchSetup::clamped() const {
    MatchSetup setup = *this;
    if (setup.mode == Mode::Duel) {
        setup.seats = kMinSeats;
        setup.teams = false;
    } else {
        setup.mode = Mode::Battle;
        setup.rules = Rules::Duel;
        setup.seats = std::clamp(setup.seats, kMinSeats, kMaxSeats);
    }
    setup.rules = setup.rules == Rules::Duel ? Rules::Duel : Rules::Classic;
    setup.fragLimit = std::clamp(setup.fragLimit, kMinFragLimit, kMaxFragLimit);
    setup.timeLimitSeconds =
        std::clamp(setup.timeLimitSeconds, kMinTimeLimitSeconds, kMaxTimeLimitSeconds);
    return setup;
}
