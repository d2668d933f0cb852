#pragma once

#include "game/PlayerInput.h"
#include "platform/InputState.h"

// The player's keyboard and mouse bindings: W/S drive, A/D turn hull and turret, Q/E turn the
// turret, SPACE jumps, the left button fires, a right-button drag orbits the camera, the wheel
// zooms, ENTER starts, L ends the match. Reads every bound key and button exactly once, so a
// tap reaches exactly one step.
PlayerInput readPlayerInput(InputState& input);
