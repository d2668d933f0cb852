#pragma once

#include "platform/InputState.h"

#include <glm/glm.hpp>

// What the player asks of a menu in one step: each a press, from the arrow keys, ENTER and ESC,
// the mouse's wheel and buttons, or the pad's d-pad, A and B.
struct MenuInput {
    int move = 0;       // down the list positive
    int change = 0;     // the next value positive, the one before negative
    bool leave = false; // back out of the menu
    // For a line being typed: the characters typed and backspaces in order, ENTER and ESC.
    InputState::Typed typed{};
    bool confirm = false;
    bool cancel = false;
};

// The screen keys of one tick.
struct ScreenKeys {
    bool start = false;    // ENTER: start the match, or a new one after the end screen
    bool endMatch = false; // L: end the running match at once
};

// What the player asks of one step of the game, whatever device it came from. The analogue
// requests run from -1 to 1; a key gives the whole of one end.
struct PlayerInput {
    float drive = 0.0f;      // forward positive, backward negative
    float turn = 0.0f;       // hull and turret, counter-clockwise positive
    float turret = 0.0f;     // the turret alone, counter-clockwise positive
    float cameraTilt = 0.0f; // camera pitch, higher above the tank positive
    bool jump = false;
    bool fire = false;       // the trigger is pulled; one shot per pull
    bool start = false;      // start the match, or a new one after the end screen
    bool endMatch = false;   // end the running match at once
    bool quit = false;       // leave the game (the pad's BACK held)
    bool escape = false;     // ESC pressed since the last step: leave the menu shown, else the game
    bool options = false;    // open the options screen (O, the pad's Y)
    bool findGames = false;  // open or leave the title's "Find games" screen (G)
    bool scoreboard = false; // TAB held: the scoreboard over a battle
    int nextTank = 0;        // a spectator's: presses of Right (the pad's) less those of Left
    MenuInput menu;
    int wheel = 0;        // accumulated camera zoom notches (forward brings the camera closer)
    bool orbit = false;   // dragging the camera around the tank
    glm::ivec2 cursor{0}; // pointer position for the orbit drag, window pixels
    glm::vec2 look{0.0f}; // the captured pointer's move (mouse aim), pixels right and down
    // Mouse aim: the heading the turret is to turn towards, in degrees, in place of the turret
    // request. Set by the client from where the camera looks.
    bool aimAtHeading = false;
    float aimHeading = 0.0f;
};
