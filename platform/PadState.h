#pragma once

#include "platform/Keys.h"

#include <glm/glm.hpp>

#include <array>

// One gamepad as polled at one moment, in the standard layout (see namespace pad). A pad that
// is not connected reads all released and centred.
struct PadState {
    bool connected = false;
    std::array<bool, pad::kButtonCount> buttons{};
    std::array<float, pad::kAxisCount> axes{};
};

// Sticks rest a little off centre and wear; within this share of full deflection they read
// as centred.
inline constexpr float kStickDeadZone = 0.2f;

// A stick's deflection with the dead zone taken out: 0 inside it, and from there rising to 1 at
// full deflection in the same direction (so no step at the zone's edge). Longer than 1 (the
// corners of a square gate) reads as 1.
inline glm::vec2 outsideDeadZone(glm::vec2 stick) {
    const float length = glm::length(stick);
    if (!(length > kStickDeadZone)) { // NaN reads as centred too
        return glm::vec2(0.0f);
    }
    const float scaled = glm::min((length - kStickDeadZone) / (1.0f - kStickDeadZone), 1.0f);
    return stick * (scaled / length);
}
