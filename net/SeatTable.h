#pragma once

#include "game/MatchState.h"
#include "net/Protocol.h"

#include <array>
#include <cstddef>

// Who holds each seat of a networked game: a client (by its visitor's index), or nobody; while a
// holder's link is lost, until when the seat is kept for it; and the single-use token its holder
// takes it back with over a new connection. A plain record: the server decides what follows.
class SeatTable {
public:
    static constexpr int kNobody = -1;

    // A table of count seats (2 to protocol::kMaxSeats).
    explicit SeatTable(int count) : count(count) {}

    struct Seat {
        int holder = kNobody;
        bool held = false;      // kept for a holder whose link is lost
        double heldUntil = 0.0; // seconds
        protocol::Token token{};
        // Someone has it, or it is kept for someone.
        bool taken() const { return holder != kNobody || held; }
    };

    Seat& operator[](int seat) { return seats[static_cast<std::size_t>(seat)]; }
    const Seat& operator[](int seat) const { return seats[static_cast<std::size_t>(seat)]; }

    // A seat nobody has, or −1.
    int free() const;
    // Seats someone has or that are kept for someone.
    int taken() const;
    // The seat taken with token, or −1 (compared in constant time).
    int withToken(const protocol::Token& token) const;
    // Every seat holder held no longer has it as holder.
    void letGo(int holder);

private:
    int count;
    std::array<Seat, protocol::kMaxSeats> seats{};
};
