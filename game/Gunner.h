#pragma once

#include "game/GameEvent.h"
#include "game/TankCommand.h"

#include <glm/glm.hpp>

#include <cstdint>

struct ControllerView;
class Awareness;
class Random;

// A skilled controller's turret and trigger: it leads a tank in sight from the bullet's speed and
// the motion it saw, misses by an error drawn for each shot from its skill's figures, and fires
// once the turret has come round, the gun is loaded and the line to the tank is clear of the
// arena's pieces and of team mates. With no tank to shoot at, the turret looks where it is told.
// A plain value, in the match's state.
class Gunner {
public:
    // Sets the command's aim and trigger for this tick, the command's turn already chosen.
    // target is the seat shot at (kNoSeat: none); lookAt where the turret looks otherwise.
    void aim(const ControllerView& view, const Awareness& awareness, int target, glm::vec3 lookAt,
             Random& random, TankCommand& command);

    float aimError = 0.0f;          // degrees, this shot's
    float leadScale = 1.0f;         // the share of the lead this shot takes
    std::int32_t aimedAt = kNoSeat; // the seat the errors were drawn for
    std::uint32_t firedTick = 0;    // the tick of the last shot

private:
    void draw(const ControllerView& view, Random& random);
    // Whether a bullet fired now would fly clear to `to`: no piece and no team mate in the way,
    // and at a height the tank there spans.
    bool clearLine(const ControllerView& view, glm::vec3 to) const;
};
