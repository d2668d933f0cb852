#pragma once

#include <glm/glm.hpp>

// What the player asks of one step of the game, whatever device it came from.
struct PlayerInput {
    bool forward = false;     // drive forward (wins over backward)
    bool backward = false;    // drive backward
    bool hullLeft = false;    // turn hull and turret counter-clockwise
    bool hullRight = false;   // turn hull and turret clockwise
    bool turretLeft = false;  // turn the turret alone counter-clockwise
    bool turretRight = false; // turn the turret alone clockwise
    bool jump = false;
    bool fire = false;     // the trigger is pulled; one shot per pull
    bool start = false;    // start the match, or a new one after the end screen
    bool endMatch = false; // end the running match at once
    int wheel = 0;         // accumulated camera zoom notches (forward brings the camera closer)
    bool orbit = false;    // dragging the camera around the tank
    glm::ivec2 cursor{0};  // pointer position for the orbit drag, window pixels
};
