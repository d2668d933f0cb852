#pragma once

#include "game/GameEvent.h"
#include "game/Random.h"
#include "game/Tank.h"
#include "game/TankCommand.h"

#include <cstdint>

// The states of the computer opponent's hull; the names appear verbatim in its log lines.
enum class AiState { IDLE, STUCK, MOVE_FOR, MOVE_BACK, TURN_PLUS, TURN_MINUS };

// The computer driving one seat: each tick it reads the state of its tank and of its opponent
// (the nearest enemy) and returns the command for its seat. The turret always aims at the
// opponent (and stays put while there is none), the hull
// wanders through a small random state machine whose timers count ticks, it fires at random
// intervals and jumps at random while the opponent is higher up. Every state change is
// logged. A plain value with its own random source, so it is copied and restored with the
// state of its match.
//
// The draws of one tick come in a fixed order: the jump (only while the opponent is higher),
// the state's own (only once its minimum time has passed), the destuck draw, the shot (only
// once the shot timer has passed). A driving state whose tank has been blocked for a second on
// end gives up as if its time were over, with the same draw for the way it turns.
class AiController {
public:
    // A fixed seed and stream repeat the same choices, given the same match.
    explicit AiController(std::uint64_t seed, std::uint64_t stream = Random::kDefaultStream)
        : random(seed, stream) {}
    virtual ~AiController() = default;
    AiController(const AiController&) = default;
    AiController& operator=(const AiController&) = default;

    // The command for the next tick of tank, facing opponent, which may be null.
    TankCommand command(const Tank& tank, const Tank* opponent, EventList& events);

    AiState state = AiState::IDLE;
    unsigned int stateFrames = 0; // ticks since the state timer was last reset
    unsigned int shootFrames = 0; // ticks since the last shot
    Random random;

protected:
    // The source of every draw: the next number of the random source. Tests script it.
    virtual unsigned int nextDraw() { return random(); }

private:
    // A number from 0 to 0.99997 in steps of 1/30000.
    float random01();
    // Aims the turret at the opponent; returns how much higher the opponent stands.
    float aim(const Tank& tank, const Tank* opponent, TankCommand& command) const;
    // The current state's action and way out; true when the state timer is to restart.
    bool runState(const Tank& tank, TankCommand& command, EventList& events);
    bool leaveMove(const Tank& tank, EventList& events);
    bool leaveTurn(EventList& events);
};
