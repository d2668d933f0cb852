#pragma once

#include "game/Tank.h"

// The states of the computer opponent's hull; the names appear verbatim in its log lines.
enum class AiState { IDLE, STUCK, MOVE_FOR, MOVE_BACK, TURN_PLUS, TURN_MINUS };

// Drives the computer's tank: the turret always aims at the opponent, the hull wanders through
// a small random state machine whose timers count updates, it fires at random intervals and
// jumps at random while the opponent is higher up. Every state change writes a line to
// standard output.
class AiController {
public:
    // Seeds rand() with the current time, so every run plays differently.
    AiController(Tank* tank, Tank* opponent);

    // One step with the frame time in milliseconds and in seconds; ends with the tank's own
    // update.
    void update(float dtMs, float dtSeconds);

    Tank* opponent; // not owned
    Tank* tank;     // not owned
    AiState state = AiState::IDLE;
    unsigned int stateFrames = 0; // updates since the state timer was last reset
    unsigned int shootFrames = 0; // updates since the last shot

private:
    // Turns the turret towards the opponent; returns how much higher the opponent stands.
    float aim();
    // The current state's action and way out; true when the state timer is to restart.
    bool runState(float dtSeconds);
    bool leaveMove();
    bool leaveTurn();
};

// Source of the controller's random draws. It is rand() in the game; tests replace it to script
// the draws.
extern int (*aiRandomSource)();

// The one AI controller of the game, created by the scene.
extern AiController* aiController;
