#pragma once

#include "game/GameEvent.h"
#include "game/MatchSetup.h"

#include <glm/glm.hpp>

#include <array>
#include <cstdint>

struct ControllerView;
class Tank;

// One other tank as a controller knows it: where it was last seen or heard, how it was seen to
// move, and since when. A tick of 0 means never.
struct Contact {
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f};    // units per second, while in sight
    std::uint32_t lastTick = 0;  // last seen or heard; 0: not known (never, or forgotten)
    std::uint32_t knownTick = 0; // the first tick of what is known now, without a gap
    std::uint32_t sightTick = 0; // the first tick of the sight now; 0: out of sight
    std::uint32_t firedTick = 0; // last seen or heard firing
    bool seen = false;           // in sight in the latest tick

    bool known() const { return lastTick != 0; }
};

// A bullet seen coming: when it passes nearest, and where from. A tick of 0 means none.
struct Threat {
    std::uint32_t tick = 0;       // the tick it was last seen coming
    float seconds = 0.0f;         // until it passes nearest
    glm::vec3 from{0.0f};         // where it was fired
    std::int32_t owner = kNoSeat; // its name, with the tick it was fired in
    std::uint32_t firedTick = 0;
};

// What a controller perceives of the other tanks, as a player could: an enemy in sight (within
// the view's range and cone about the turret, with a clear line against the arena's pieces),
// heard (its shot or its engine within a radius) or felt (against the hull), remembered at the last
// place it was seen or heard and forgotten after a while; a bullet seen coming; a hit taken. Team
// mates are known wherever they are. Nothing here is read of an enemy it neither sees nor hears. A
// plain value, in the match's state.
class Awareness {
public:
    // Takes in what the seat's tank perceives in the view's tick.
    void perceive(const ControllerView& view);
    // Whether the other seat has been known long enough to act on, or has been in sight that
    // long.
    bool reactsTo(int seat, std::uint32_t tick, std::uint32_t reactionTicks) const;
    bool aimsAt(int seat, std::uint32_t tick, std::uint32_t reactionTicks) const;
    const Contact& contact(int seat) const { return contacts[static_cast<std::size_t>(seat)]; }

    std::array<Contact, MatchSetup::kMaxSeats> contacts{};
    Threat threat;
    std::uint32_t hitTick = 0; // the last tick the tank lost a life
    std::int32_t lives = 0;    // its lives in the tick before
    glm::vec3 lastPosition{0.0f};
    bool moved = false; // moved farther than a tick's drive since the tick before: it came back

private:
    void look(const ControllerView& view, int other);
    void listen(const ControllerView& view);
    void watchBullets(const ControllerView& view);
};
