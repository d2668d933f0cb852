#pragma once

#include <ostream>

// What the computer's skilled controllers cost: the time the arena's navigation graph takes to
// build, and each controller's command in each tick of an eight-tank battle of Rookies,
// Veterans and Aces played for `seconds` of game time (its median, p99 and worst, timed one
// call at a time on this thread).
void measureControllerCost(std::ostream& out, double seconds);
