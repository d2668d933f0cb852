#include "game/PlayerControls.h"

#include "platform/Keys.h"

PlayerInput readPlayerInput(InputState& input) {
    PlayerInput player;
    player.forward = input.readKey(keys::kW);
    player.backward = input.readKey(keys::kS);
    player.hullLeft = input.readKey(keys::kA);
    player.hullRight = input.readKey(keys::kD);
    player.turretLeft = input.readKey(keys::kQ);
    player.turretRight = input.readKey(keys::kE);
    player.jump = input.readKey(keys::kSpace);
    player.fire = input.readButton(buttons::kLeft);
    player.start = input.readKey(keys::kEnter);
    player.endMatch = input.readKey(keys::kL);
    player.wheel = input.wheel();
    player.orbit = input.readButton(buttons::kRight);
    player.cursor = input.cursor();
    return player;
}
