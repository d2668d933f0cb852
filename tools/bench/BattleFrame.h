#pragma once

#include <ostream>

class Window;

// What a battle of eight tanks costs a Full frame against a duel's, in the same run: each game
// through the game's own loop in window, the computer's tanks kept standing in the player's
// view (put back where they were placed when they drive off) and fighting, shielded. Prints both
// medians, their ratio, the fewest tanks in view in any frame and how many tanks fired. False when
// a match did not start.
bool measureBattleFrame(std::ostream& out, Window& window, double seconds);
