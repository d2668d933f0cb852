#pragma once

#include "game/GameEvent.h"
#include "game/Tank.h"

#include <random>

// The states of the computer opponent's hull; the names appear verbatim in its log lines.
enum class AiState { IDLE, STUCK, MOVE_FOR, MOVE_BACK, TURN_PLUS, TURN_MINUS };

// Drives the computer's tank: the turret always aims at the opponent, the hull wanders through
// a small random state machine whose timers count updates, it fires at random intervals and
// jumps at random while the opponent is higher up. Every state change is logged.
//
// The draws of one update come in a fixed order: the jump (only while the opponent is higher),
// the state's own (only once its minimum time has passed), the destuck draw, the shot (only
// once the shot timer has passed). A driving state whose tank has been blocked for a second on
// end gives up as if its time were over, with the same draw for the way it turns.
class AiController {
public:
    // Referenced, not owned. The random source is seeded with seed: a fixed seed repeats a
    // match exactly, given the same input.
    AiController(Tank& tank, Tank& opponent, unsigned int seed);
    virtual ~AiController() = default;
    AiController(const AiController&) = delete;
    AiController& operator=(const AiController&) = delete;

    // One step of dtSeconds; ends with the tank's own update.
    void update(float dtSeconds, EventList& events);

    Tank& opponent;
    Tank& tank;
    AiState state = AiState::IDLE;
    unsigned int stateFrames = 0; // updates since the state timer was last reset
    unsigned int shootFrames = 0; // updates since the last shot

protected:
    // The source of every draw: the next number of the owned engine. Tests script it.
    virtual unsigned int nextDraw() { return random(); }

private:
    // A number from 0 to 0.99997 in steps of 1/30000.
    float random01();
    // Turns the turret towards the opponent; returns how much higher the opponent stands.
    float aim();
    // The current state's action and way out; true when the state timer is to restart.
    bool runState(float dtSeconds, EventList& events);
    bool leaveMove(EventList& events);
    bool leaveTurn(EventList& events);

    std::mt19937 random;
};
