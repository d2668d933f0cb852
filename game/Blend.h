#pragma once

#include <glm/glm.hpp>

// Drawing between two steps of the game.

// The point blend of the way from `from` to `to` (0: from, 1: to). Exactly `to` when the two
// are equal, whatever the blend, so a world that stands still is drawn still.
inline glm::vec3 between(glm::vec3 from, glm::vec3 to, float blend) {
    return from + (to - from) * blend;
}
