#pragma once

#include "game/Awareness.h"
#include "game/GameEvent.h"
#include "game/Gunner.h"
#include "game/PathFollower.h"
#include "game/Random.h"
#include "game/TankCommand.h"

#include <cstdint>

struct ControllerView;

// What a skilled controller is about: roaming the arena with no one to look for, seeking the
// place an enemy was last seen or heard at (from the side, when it can), fighting one in sight
// from a place with a clear line at the range it likes, taking cover behind a piece while it
// reloads or stands in two enemies' sight, or, hurt, retreating to another level than the
// enemy's.
enum class Tactic : std::uint8_t { Roam, Seek, Fight, Cover, Retreat };

// The computer at the wheel of a seat with a skill (Rookie, Veteran or Ace): it perceives as a
// player could (Awareness), plans and drives over the navigation graph (PathFollower) and aims
// and fires (Gunner), all within a person's powers; how well is its skill's figures. It picks
// the enemy it knows of that is seen, near and weak, rethinks its plan every so often and at
// once when something happens to it, and dodges a bullet it sees coming in time by jumping.
// What it decides depends on nothing it could not perceive, and on no seat's number. A plain
// value with its own random source, in the match's state.
class SkilledController {
public:
    explicit SkilledController(std::uint64_t seed = 0,
                               std::uint64_t stream = Random::kDefaultStream)
        : random(seed, stream) {}

    // The command for the view's seat this tick.
    TankCommand command(const ControllerView& view);
    bool wantsToMove() const { return follower.moving(); }

    Random random;
    Awareness awareness;
    Gunner gunner;
    PathFollower follower;
    Tactic tactic = Tactic::Roam;
    std::int32_t target = kNoSeat;
    std::uint32_t thinkTick = 0;       // the tick it rethinks at, at the latest
    std::uint32_t thoughtTick = 0;     // the tick it last thought in
    std::uint32_t coverDrawTick = 0;   // the shot whose reload the cover draw was made for
    bool coverDrawn = false;           // that draw's outcome
    std::int32_t dodgeOwner = kNoSeat; // the bullet the dodge draw was made for
    std::uint32_t dodgeFiredTick = 0;
    bool dodging = false; // that draw's outcome

private:
    bool urgent(const ControllerView& view) const;
    void think(const ControllerView& view);
    int chooseTarget(const ControllerView& view) const;
    bool takeCover(const ControllerView& view);
    bool fightFrom(const ControllerView& view);
    void seek(const ControllerView& view);
    void roam(const ControllerView& view);
    void dodge(const ControllerView& view, TankCommand& command);
    glm::vec3 lookAt(const ControllerView& view) const;
    // A number from 0 to 1 of the random source.
    float chance();
};
