#pragma once

#include "game/GameEvent.h"
#include "game/Match.h"
#include "game/PlayerInput.h"

// The screens of the game: the title until the first ENTER, then matches and end screens in
// turn. ENTER leaves the title or starts a new match from the end screen; L ends a running
// match at once; a match ends when a tank has no lives left.
class GameFlow {
public:
    GameFlow(const ModelBounds& bounds, unsigned int aiSeed) : match(bounds, aiSeed) {}

    // One step of dtSeconds: the screen changes the input asks for, then the match step while
    // a match runs, then the end-of-match test. Appends what happened to events. On the title
    // and end screens the match stands still, drawn as its latest step.
    void update(const PlayerInput& input, float dtSeconds, EventList& events);

    bool matchRunning() const { return started && !gameOver; }
    // The end screen's headline: the computer's tank is out.
    bool playerWon() const { return match.aiTank.lives < 1; }

    bool started = false;  // the title screen has been left
    bool gameOver = false; // the current match has ended
    // The line under the end screen's headline, from the last decided match ("" before one).
    const char* resultMessage = "";
    Match match;
};
