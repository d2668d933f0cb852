#pragma once

#include "MeshBuilder.h"

#include <vector>

// The game's models, as parts in file order. The game stands models on y = 0 and points
// their front along -Z.

// The tank hull, which the arena also stretches into its ground slabs, walls and blocks: one
// plain box from (-1, 0, -1) to (1, 1, 1).
std::vector<MeshBuilder> makeTankBottom();
// The turret that turns on top of the hull (y = 1), its gun reaching well past the hull's front.
std::vector<MeshBuilder> makeTankTop();
// A small shell lying along -Z, centred in X and Z and resting on y = 0.
std::vector<MeshBuilder> makeBullet();
