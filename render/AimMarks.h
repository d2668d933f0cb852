#pragma once

#include <glm/glm.hpp>

// What the aiming marks show, in window pixels from the bottom-left: the crosshair where a shot
// fired now would land, and the marker of the way the player's hull faces.
struct AimMarks {
    bool crosshair = false;
    glm::vec2 crosshairAt{0.0f};
    bool hull = false;
    glm::vec2 hullAt{0.0f};           // the marker's middle
    glm::vec2 hullFacing{0.0f, 1.0f}; // the way it points, unit length
};
