#pragma once

#include "game/TankCommand.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The commands one seat's client has sent for the ticks to come, by tick. Each tick the server
// takes the command for that tick; when none came in time it takes the last one again. A
// command is kept only for a tick still to come and at most kTicks ahead; the first one to
// arrive for a tick is the one taken. Fixed storage: a client cannot make it grow.
class CommandQueue {
public:
    static constexpr std::uint32_t kTicks = 128; // about two seconds ahead

    // Forgets every command; the next tick taken is tick + 1.
    void reset(std::uint32_t tick);
    // Keeps command for tick, if it is to be kept.
    void store(std::uint32_t tick, const TankCommand& command);
    // The command for the tick after the last one taken; false when it is the last one again.
    bool take(TankCommand& command);

    // The newest tick a command is kept for, or the last tick taken.
    std::uint32_t newest() const { return newestTick; }
    std::uint32_t lastTaken() const { return takenTick; }

private:
    struct Slot {
        std::uint32_t tick = 0;
        bool kept = false;
        TankCommand command;
    };
    std::array<Slot, kTicks> slots{};
    std::uint32_t takenTick = 0;
    std::uint32_t newestTick = 0;
    TankCommand last;
};
