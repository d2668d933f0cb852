#include "client/PlayerControls.h"

#include "platform/Keys.h"

#include <algorithm>
#include <cmath>

namespace {

// A key pair's request: first positive, second negative, both nothing.
float keyAxis(InputState& input, int positive, int negative) {
    const bool plus = input.readKey(positive);
    const bool minus = input.readKey(negative);
    return static_cast<float>(plus) - static_cast<float>(minus);
}

float joined(float keys, float stick) {
    return std::clamp(keys + stick, -1.0f, 1.0f);
}

// A request from −1 to 1 in whole steps of a command's unit, full being full.
std::int16_t steps(float request, float full) {
    return static_cast<std::int16_t>(std::lround(std::clamp(request, -1.0f, 1.0f) * full));
}

} // namespace

int PlayerControls::Repeat::notches(bool down, float stepSeconds) {
    if (!down) {
        heldSeconds = -1.0f;
        return 0;
    }
    if (heldSeconds < 0.0f) {
        heldSeconds = 0.0f;
        return 1;
    }
    heldSeconds += stepSeconds;
    if (heldSeconds < kZoomRepeatSeconds) {
        return 0;
    }
    heldSeconds -= kZoomRepeatSeconds;
    return 1;
}

PlayerInput PlayerControls::read(InputState& input, float stepSeconds) {
    PlayerInput player;
    const glm::vec2 left = input.padStick(pad::kLeftX);
    const glm::vec2 right = input.padStick(pad::kRightX);
    // W wins over S, as the keys always did.
    const bool forward = input.readKey(keys::kW);
    const bool backward = input.readKey(keys::kS);
    const float keyDrive = forward ? 1.0f : (backward ? -1.0f : 0.0f);
    // Stick axes point right and down.
    player.drive = joined(keyDrive, -left.y);
    player.turn = joined(keyAxis(input, keys::kA, keys::kD), -left.x);
    player.turret = joined(keyAxis(input, keys::kQ, keys::kE), -right.x);
    player.cameraTilt = joined(0.0f, right.y);

    const bool padJump = input.readPadButton(pad::kA);
    player.jump = input.readKey(keys::kSpace) || padJump;
    const bool padFire = input.readPadButton(InputState::kRightTriggerPull);
    player.fire = input.readButton(buttons::kLeft) || padFire;
    const bool padStart = input.readPadButton(pad::kStart);
    player.start = input.readKey(keys::kEnter) || padStart;
    player.endMatch = input.readKey(keys::kL);

    padWheel += zoomIn.notches(input.readPadButton(pad::kRightBumper), stepSeconds);
    padWheel -= zoomOut.notches(input.readPadButton(pad::kLeftBumper), stepSeconds);
    player.wheel = input.wheel() + padWheel;
    player.orbit = input.readButton(buttons::kRight);
    player.cursor = input.cursor();
    player.look = input.takePointerMotion();

    backHeldSeconds = input.readPadButton(pad::kBack) ? backHeldSeconds + stepSeconds : 0.0f;
    player.quit = backHeldSeconds >= kQuitHoldSeconds;
    player.scoreboard = input.readKey(keys::kTab);

    // The menu takes each press, however quick: the presses since the last step.
    std::array<unsigned int, kMenuControlCount> presses{};
    presses[kUpKey] = input.keyPresses(keys::kUp);
    presses[kDownKey] = input.keyPresses(keys::kDown);
    presses[kLeftKey] = input.keyPresses(keys::kLeft);
    presses[kRightKey] = input.keyPresses(keys::kRight);
    presses[kEnterKey] = input.keyPresses(keys::kEnter);
    presses[kEscapeKey] = input.keyPresses(keys::kEscape);
    presses[kOptionsKey] = input.keyPresses(keys::kO);
    presses[kFindGamesKey] = input.keyPresses(keys::kG);
    presses[kClick] = input.buttonPresses(buttons::kLeft);
    presses[kRightClick] = input.buttonPresses(buttons::kRight);
    presses[kPadUp] = input.padPresses(pad::kDpadUp);
    presses[kPadDown] = input.padPresses(pad::kDpadDown);
    presses[kPadLeft] = input.padPresses(pad::kDpadLeft);
    presses[kPadRight] = input.padPresses(pad::kDpadRight);
    presses[kPadA] = input.padPresses(pad::kA);
    presses[kPadB] = input.padPresses(pad::kB);
    presses[kPadY] = input.padPresses(pad::kY);
    presses[kPadStart] = input.padPresses(pad::kStart);
    const auto taken = [&](std::initializer_list<MenuControl> controls) {
        int count = 0;
        for (MenuControl control : controls) {
            count += static_cast<int>(presses[control] - menuPresses[control]);
        }
        return count;
    };
    MenuInput& menu = player.menu;
    const int wheel = input.wheel();
    menu.move = taken({kDownKey, kPadDown}) - taken({kUpKey, kPadUp}) -
                (wheel - menuWheel); // the wheel forward moves up the list
    menu.change = taken({kRightKey, kPadRight, kEnterKey, kClick, kPadA, kPadStart}) -
                  taken({kLeftKey, kPadLeft, kRightClick});
    menu.leave = taken({kEscapeKey, kOptionsKey, kPadB, kPadY}) > 0;
    player.nextTank = taken({kRightKey, kPadRight}) - taken({kLeftKey, kPadLeft});
    // ESC counts its presses like the menu: one press is one leave, whether the menu or the
    // game takes it, however long it is held or however quick the tap.
    player.escape = taken({kEscapeKey}) > 0;
    // O opens the options by its presses too: held over the step that closed the screen, it
    // would open it again.
    player.options = taken({kOptionsKey, kPadY}) > 0;
    player.findGames = taken({kFindGamesKey}) > 0;
    menu.typed = input.readTyped();
    menu.confirm = taken({kEnterKey, kPadA, kPadStart}) > 0;
    menu.cancel = taken({kEscapeKey, kPadB}) > 0;
    menuPresses = presses;
    menuWheel = wheel;
    return player;
}

TankCommand PlayerControls::command(const PlayerInput& input, const Tank& tank, float stepSeconds) {
    TankCommand command;
    command.drive = steps(input.drive, TankCommand::kFullDrive);
    command.turn = steps(input.turn, kTurnDegreesPerSecond * TankCommand::kTurnUnit);
    command.aim = TankCommand::aimOf(input.aimAtHeading
                                         ? input.aimHeading
                                         : tank.turretHeading +
                                               kTurnDegreesPerSecond * stepSeconds * input.turret);
    command.jump = input.jump;
    command.fire = input.fire;
    return command;
}
