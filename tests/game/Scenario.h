#pragma once

#include "game/Match.h"
#include "platform/InputState.h"

#include <functional>
#include <vector>

// The game's real models' boxes, read from the staged asset tree (the tests run from bin/).
ModelBounds realModelBounds();

// Stands the tank at spot, its floor and ground level just below (the landing clearance),
// with its footprint moved there at its current heading.
void placeTank(Tank& tank, glm::vec3 spot);

// A player's key or button going down or up at a moment of real time.
struct ScriptedInput {
    double seconds;
    bool button; // a mouse button, else a key
    int code;
    KeyAction action;
};

// Plays a script on a match the way the game loop does at a given frame rate: each frame runs
// the fixed steps real time calls for, each reading the input once, then takes the input that
// arrived until the next frame. onStep sees every step's number (from 1) and events.
void playAtFrameRate(Match& match, int framesPerSecond, double seconds,
                     const std::vector<ScriptedInput>& script,
                     const std::function<void(int, const EventList&)>& onStep);
