#pragma once

#include <glm/glm.hpp>

#include <vector>

// Something that happened in one step of the game, for the layers above to show and play: the
// console line, the burst at a hit, a sound. Events are listed in the order they happened.
enum class GameEventType {
    Log,        // a console line (text)
    Shot,       // a tank fired (position: the muzzle; seat: which)
    TankHit,    // a bullet hit a tank (position: the bullet; seat: the tank hit)
    WallHit,    // a bullet hit a piece of the arena (position: where)
    Jump,       // a tank took off (seat)
    Landing,    // a tank landed from a jump (seat)
    MatchStart, // ENTER started or restarted a match
    MatchWon,   // the computer's tank lost its last life
    MatchLost,  // the player's tank lost its last life
};

// The seat of an event that is about no tank, and the bullet of one that is about no bullet.
inline constexpr int kNoSeat = -1;
inline constexpr int kNoBullet = -1;

struct GameEvent {
    GameEventType type = GameEventType::Log;
    glm::vec3 position{0.0f};
    int seat = kNoSeat;    // which tank, by its seat in the match
    const char* text = ""; // Log only: a line with static storage
    // Shot, TankHit, WallHit: the bullet's index among the match's bullets, good until the
    // next tick.
    int bullet = kNoBullet;
};

// A step's events. The owner reserves it once and clears it before each step, so steps do not
// allocate.
using EventList = std::vector<GameEvent>;

inline void logLine(EventList& events, const char* text) {
    events.push_back({GameEventType::Log, glm::vec3(0.0f), kNoSeat, text});
}
