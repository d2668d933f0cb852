#pragma once

#include <glm/glm.hpp>

#include <cstddef>
#include <cstring>
#include <vector>

// Something that happened in one step of the game, for the layers above to show and play: the
// console line, the burst at a hit, a sound. Events are listed in the order they happened.
enum class GameEventType {
    Log,        // a console line of a duel's (text)
    Announce,   // a console line of a battle's, for every console, a server's too (text)
    Shot,       // a tank fired (position: the muzzle; seat: which)
    TankHit,    // a bullet hit a tank (position: the bullet; seat: the tank hit)
    WallHit,    // a bullet hit a piece of the arena (position: where)
    Jump,       // a tank took off (seat)
    Landing,    // a tank landed from a jump (seat)
    Destroyed,  // a battle's tank was destroyed (position: where; seat: which; other: by whom)
    Respawn,    // a battle's tank came back (position: where; seat: which)
    MatchStart, // a match started or restarted
    MatchOver,  // a match was decided (seat: the winner, kNoSeat for a draw or a team's win;
                // other: the winning team, kNoTeam)
    MatchWon,   // the player's match was decided, the player's way (the client's)
    MatchLost,  // the player's match was decided, not the player's way (the client's)
};

// The seat of an event that is about no tank, the bullet of one that is about no bullet, the
// team of one that is about no team.
inline constexpr int kNoSeat = -1;
inline constexpr int kNoBullet = -1;
inline constexpr int kNoTeam = -1;

struct GameEvent {
    static constexpr std::size_t kTextBytes = 64;

    GameEventType type = GameEventType::Log;
    glm::vec3 position{0.0f};
    int seat = kNoSeat;         // which tank, by its seat in the match
    char text[kTextBytes] = {}; // Log and Announce: the line
    // Shot, TankHit, WallHit: the bullet's index among the match's bullets, good until the
    // next tick.
    int bullet = kNoBullet;
    int other = kNoSeat; // Destroyed: the shooter's seat; MatchOver: the winning team
};

// A step's events. The owner reserves it once and clears it before each step, so steps do not
// allocate.
using EventList = std::vector<GameEvent>;

// A line for the console, cut to GameEvent::kTextBytes − 1 characters.
inline void logLine(EventList& events, const char* text, GameEventType type = GameEventType::Log) {
    GameEvent& event = events.emplace_back();
    event.type = type;
    std::strncpy(event.text, text, GameEvent::kTextBytes - 1);
}
