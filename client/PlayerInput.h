#pragma once

#include <glm/glm.hpp>

// What the player asks of one step of the game, whatever device it came from. The analogue
// requests run from -1 to 1; a key gives the whole of one end.
struct PlayerInput {
    float drive = 0.0f;      // forward positive, backward negative
    float turn = 0.0f;       // hull and turret, counter-clockwise positive
    float turret = 0.0f;     // the turret alone, counter-clockwise positive
    float cameraTilt = 0.0f; // camera pitch, higher above the tank positive
    bool jump = false;
    bool fire = false;     // the trigger is pulled; one shot per pull
    bool start = false;    // start the match, or a new one after the end screen
    bool endMatch = false; // end the running match at once
    bool quit = false;     // leave the game
    int wheel = 0;         // accumulated camera zoom notches (forward brings the camera closer)
    bool orbit = false;    // dragging the camera around the tank
    glm::ivec2 cursor{0};  // pointer position for the orbit drag, window pixels
};
