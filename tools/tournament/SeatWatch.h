#pragma once

#include "game/GameEvent.h"

#include <glm/glm.hpp>

class Match;

// What the tournament counts of one seat through a match: its shots, those fired with no line to
// an enemy (no enemy in play that a bullet flying straight from the gun could reach, past the
// arena's pieces and at its height), its hits on enemies, whether it stood on a higher floor
// than it started on, and how long it stayed stuck: within kStuckRadius of one spot while it
// wanted to move.
class SeatWatch {
public:
    static constexpr float kStuckRadius = 0.5f;  // units
    static constexpr float kStuckSeconds = 3.0f; // a spell longer than this is counted

    // Takes in one tick of the match, after it, with the tick's events.
    void observe(const Match& match, int seat, const EventList& events);

    int shots = 0;
    int blindShots = 0;
    int hits = 0;
    bool climbed = false;
    float longestStuck = 0.0f; // seconds
    int stuckSpells = 0;       // longer than kStuckSeconds

private:
    bool lineToEnemy(const Match& match, int seat, glm::vec3 gun) const;

    bool started = false;
    float startFloor = 0.0f;
    glm::vec3 spot{0.0f};
    float stuck = 0.0f; // seconds near spot so far
};
