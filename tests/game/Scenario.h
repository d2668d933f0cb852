#pragma once

#include "game/Tank.h"

#include <glm/glm.hpp>

// Stands the tank at spot, its floor and ground level just below (the landing clearance),
// with its footprint moved there at its current heading.
void placeTank(Tank& tank, glm::vec3 spot);
