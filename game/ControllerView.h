#pragma once

#include "game/Arena.h"
#include "game/Match.h"
#include "game/MatchState.h"
#include "game/NavGraph.h"
#include "game/PathSearch.h"
#include "game/Skill.h"

// What a skilled controller is handed each tick: the whole match, of which it reads only what
// its tank may perceive (see Awareness), the arena and its navigation graph, a path search to
// plan with, its seat and its skill's figures.
struct ControllerView {
    const MatchState& state;
    const Arena& arena;
    const NavGraph& graph;
    PathSearch& search;
    int seat;
    const SkillFigures& figures;

    const Tank& own() const { return state.seats[static_cast<std::size_t>(seat)].tank; }
    const Tank& tank(int other) const { return state.seats[static_cast<std::size_t>(other)].tank; }
    // Ticks of a span in seconds, at least one.
    static std::uint32_t ticks(float seconds) {
        const auto whole = static_cast<std::uint32_t>(seconds * Match::kTicksPerSecond + 0.5f);
        return whole > 0 ? whole : 1;
    }
};
