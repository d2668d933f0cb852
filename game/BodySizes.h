#pragma once

#include "game/Bounds.h"

// The sizes of the bodies the rules collide, in world units: what the models are drawn to
// match, never read from them (a test checks that the generated models still fit).

// A tank's hull: 2 × 0.5 × 2, standing on y = 0, centred on its origin in X and Z.
inline constexpr Bounds kHullBounds{{-1.0f, 0.0f, -1.0f}, {1.0f, 0.5f, 1.0f}};
// A shell: 0.16 across, 0.16 high, 0.45 long along Z.
inline constexpr Bounds kBulletBounds{{-0.08f, 0.0f, -0.225f}, {0.08f, 0.16f, 0.225f}};
// The box every piece of the arena is stretched from: the hull's size, as the arena has always
// been built from the hull's model.
inline constexpr Bounds kBoxBounds = kHullBounds;
