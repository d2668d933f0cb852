#pragma once

#include "client/PlayerInput.h"
#include "game/Tank.h"
#include "game/TankCommand.h"
#include "platform/InputState.h"

#include <array>

// The player's bindings. Keyboard and mouse: W/S drive, A/D turn hull and turret, Q/E turn
// the turret, SPACE jumps, the left button fires, a right-button drag orbits the camera, the
// wheel zooms, ENTER starts, L ends the match; with mouse aim the captured pointer's moves turn
// the camera, which the turret follows. A gamepad at the same time: the left stick
// drives and turns, the right stick turns the turret (x) and tilts the camera (y), the right
// trigger fires, A jumps, the bumpers zoom out and in (a notch per press, repeating while
// held), START starts, and BACK held for kQuitHoldSeconds quits. Both devices add up, each
// request kept within its range. O or the pad's Y opens the options screen, which the arrow
// keys, ENTER and ESC work, or the wheel and the buttons, or the d-pad, A and B. G opens the
// title's "Find games" screen and leaves it.
class PlayerControls {
public:
    static constexpr float kTurnDegreesPerSecond = 100.0f; // hull and turret keys
    static constexpr float kQuitHoldSeconds = 1.0f;
    static constexpr float kZoomRepeatSeconds = 0.15f; // between notches of a held bumper

    // Reads every bound key, button and pad control exactly once for a step of stepSeconds,
    // so a tap reaches exactly one step.
    PlayerInput read(InputState& input, float stepSeconds);
    // The command the player's requests make for a tick of stepSeconds of their tank: the
    // engine and the turn at the keys' rates times the request, the turret aimed from where it
    // points now by the turret request at the keys' rate, or with mouse aim at the heading the
    // input names (the rules turn it there at the keys' rate).
    static TankCommand command(const PlayerInput& input, const Tank& tank, float stepSeconds);

private:
    // Notches of a held bumper: one at the press, then one every kZoomRepeatSeconds.
    struct Repeat {
        float heldSeconds = -1.0f; // below 0 while released
        int notches(bool down, float stepSeconds);
    };

    Repeat zoomIn;
    Repeat zoomOut;
    int padWheel = 0; // notches the bumpers added to the mouse wheel's
    float backHeldSeconds = 0.0f;
    // The presses of each of the menu's controls the menu has taken.
    enum MenuControl {
        kUpKey,
        kDownKey,
        kLeftKey,
        kRightKey,
        kEnterKey,
        kEscapeKey,
        kOptionsKey,
        kFindGamesKey,
        kClick,
        kRightClick,
        kPadUp,
        kPadDown,
        kPadLeft,
        kPadRight,
        kPadA,
        kPadB,
        kPadY,
        kPadStart,
        kMenuControlCount
    };
    std::array<unsigned int, kMenuControlCount> menuPresses{};
    int menuWheel = 0; // the wheel's position the menu last read
};
