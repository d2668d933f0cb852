#pragma once

#include "game/GameEvent.h"
#include "game/MatchFlow.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>

// The title screen's live backdrop: a duel of the computer against itself on the arena, seen
// from a camera that circles slowly above it, and a new match as soon as one is decided. It has
// a seed of its own and shares nothing with the player's match, which starts afresh on ENTER.
class AttractMode {
public:
    AttractMode(std::uint64_t seed, const Arena& arena);
    // Starts over on another arena, from the same seed.
    void setArena(const Arena& arena);

    // One tick; what happened is appended to events.
    void step(EventList& events);

    // The circling camera, blended between its last two ticks.
    glm::vec3 eyeAt(float blend) const;
    glm::vec3 targetAt(float) const;
    glm::mat4 view(float blend) const;

    const Match& match() const { return flow->match; }

private:
    std::uint64_t seed;
    std::unique_ptr<MatchFlow> flow;
    Overview overview;            // of the arena
    float heading = 0.0f;         // degrees of the camera around the arena
    float previousHeading = 0.0f; // at the tick before
};
