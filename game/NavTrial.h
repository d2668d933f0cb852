#pragma once

#include "game/Arena.h"

#include <glm/glm.hpp>

#include <array>

// Runs of one tank alone on an arena under the real rules, to learn whether a way between two
// floors can be driven or jumped. Used while the navigation graph is built.
class NavTrial {
public:
    static constexpr int kMaxTicks = 150; // a run gives up after this

    // runUp: how far behind a jump's start the run-up begins, from standing still.
    NavTrial(const Arena& arena, float runUp);

    // Whether a tank standing still at from (on the floor under it), facing to, and driven at
    // full speed straight on, comes to rest on to's floor within reach of to, never held back
    // by a piece.
    bool drives(glm::vec3 from, glm::vec3 to) const;
    // Whether a tank standing still runUp units behind from, facing to, driven at full speed
    // straight on and jumping once it is jumpAt units past from, lands on to's floor, never held
    // back by a piece. jumpAt is chosen in the middle of the span of jumps that clear every
    // piece on the way; false when nothing is in the way, or that span is only a few ticks.
    bool jumps(glm::vec3 from, glm::vec3 to, float& jumpAt) const;

private:
    // The tick a jump is pressed in to clear what stands in the way, or 0 when none does.
    int pressTick(glm::vec3 from, glm::vec3 to) const;

    const Arena& arena;
    float runUp;
    // The run-up in the open: how far past the jump's edge the tank is after each tick, and how
    // high a jump pressed in one tick has lifted it each tick after.
    std::array<float, kMaxTicks> progress{};
    std::array<float, kMaxTicks> lift{};
};
