#pragma once

#include <cstdint>

// What a spectator does that a player does not: it follows one tank of its choice, Right
// stepping to the next seat and Left to the one before (round the table), and it tells the
// server now and then that it still watches, since it sends no commands.
class WatchedSeat {
public:
    // Ticks between two signs of life: four a second, well within the server's patience.
    static constexpr std::uint32_t kSignTicks = 15;

    // One tick of a match of seatCount seats; steps is the presses of Right less those of Left.
    // True when a sign of life is due.
    bool tick(int steps, int seatCount);
    // The seat whose tank is followed: one of the match's once a tick has seen its count.
    int followed() const { return seat; }

private:
    int seat = 0;
    std::uint32_t ticks = 0;
};
