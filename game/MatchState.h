#pragma once

#include "game/AiController.h"
#include "game/BodySizes.h"
#include "game/BulletSystem.h"
#include "game/MatchSetup.h"
#include "game/SkilledController.h"
#include "game/Tank.h"

#include <cstdint>
#include <vector>

// What a seat's driver may ask of its tank (see Match::limited): the keys' powers, a person's and
// every skilled controller's, or the Classic opponent's own.
enum class Powers : std::uint8_t { Keys, Classic };

// One seat of a match: who drives it, its tank, its team and its score, and for the computer
// its skill and the controller of each kind with its state and random source (the one of its
// skill drives; the other stands still).
struct Seat {
    Driver driver = Driver::Computer;
    Tank tank;
    AiController controller;
    int team = 0; // in a battle of two teams, 0 or 1; otherwise 0
    int frags = 0;
    int deaths = 0;
    Skill skill = Skill::Classic;
    SkilledController skilled;

    Powers powers() const {
        return driver == Driver::Computer && skill == Skill::Classic ? Powers::Classic
                                                                     : Powers::Keys;
    }
    // Whether the computer driving the seat wants its tank to move: Classic in a driving state,
    // a skilled controller with a way to go. A person's seat never does.
    bool wantsToMove() const;
};

// Everything a match is, as plain values: the tick, the mode, rules and limits it plays under,
// every seat, and the bullets with their owners. It can be copied, compared and restored;
// state_codec (StateCodec.h) gives it a stable form and a hash. Copying it into a state of as
// many seats does not allocate.
struct MatchState {
    std::uint32_t tick = 0; // ticks stepped since the match was made
    Rules rules = Rules::Classic;
    Mode mode = Mode::Duel;
    bool teams = false;
    std::int32_t fragLimit = 0;
    std::uint32_t timeLimitTicks = 0; // a battle's length
    std::uint32_t endTick = 0;        // the tick the battle under way ends at, at the latest
    std::vector<Seat> seats;
    BulletSystem bullets{kBulletBounds};

    int seatCount() const { return static_cast<int>(seats.size()); }
    // Whether two seats are enemies: every other seat, save a team mate in a battle of teams.
    bool enemies(int first, int second) const;
};
