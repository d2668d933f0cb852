#pragma once

#include "game/GameEvent.h"
#include "game/Match.h"
#include "game/TankCommand.h"

#include <cstdint>

// The screen keys of one tick.
struct ScreenKeys {
    bool start = false;    // ENTER: start the match, or a new one after the end screen
    bool endMatch = false; // L: end the running match at once
};

// The screens of a game against the computer: the title until the first ENTER, then matches and
// end screens in turn. ENTER leaves the title or starts a new match from the end screen; L ends
// a running match at once; a match ends when a tank has no lives left. The player sits in
// kPlayerSeat, the computer in kComputerSeat.
class GameFlow {
public:
    static constexpr int kPlayerSeat = 0;
    static constexpr int kComputerSeat = 1;

    // aiSeed seeds the computer's choices.
    explicit GameFlow(std::uint64_t aiSeed) : match(aiSeed) {}

    // One tick, in two halves. First the screen changes the keys ask for; then, with the
    // player's command made from the match as those left it, the match's tick while a match
    // runs and the end-of-match test. Both append what happened to events. On the title and
    // end screens the match stands still, drawn as its latest tick.
    void applyKeys(const ScreenKeys& keys, EventList& events);
    void step(const TankCommand& command, EventList& events);
    // Back on the title screen, the match at its start (a networked game has ended).
    void backToTitle();

    bool matchRunning() const { return started && !gameOver; }
    // The end screen's headline: the computer's tank is out.
    bool playerWon() const { return winnerOf(match.outcome()) == kPlayerSeat; }

    bool started = false;  // the title screen has been left
    bool gameOver = false; // the current match has ended
    // The line under the end screen's headline, from the last decided match ("" before one).
    const char* resultMessage = "";
    Match match;
};
