#pragma once

#include "game/Match.h"
#include "game/Tank.h"

#include <glm/glm.hpp>

// Where a shot the seat's tank fired now, standing in pose, would first meet something: a piece
// of the arena or another tank whose height spans the shot's, seen from above along the turret,
// within the shot's range (its speed times its lifetime); the end of that range when nothing is
// in the way. The point is at the middle of the shell's height there, on the face it meets.
glm::vec3 shotEnd(const Match& match, int seat, const TankPose& pose);
