#pragma once

#include "net/DatagramGate.h"
#include "net/EnetDatagram.h"
#include "net/PeerGuard.h"

#include <chrono>
#include <cstdint>

// The door of a client's host: only datagrams from its server's address and session pass, and
// only what the server's PeerGuard lets through.
class ClientGate : public DatagramGate {
public:
    explicit ClientGate(std::chrono::steady_clock::time_point epoch)
        : guard(PeerGuard::Side::Client), epoch(epoch) {}

    bool admit(ENetHost& host) override;
    // Seconds since the epoch the client counts from.
    double now() const;

    PeerGuard guard;
    std::uint64_t dropped = 0;
    std::uint64_t forged = 0;

private:
    std::chrono::steady_clock::time_point epoch;
    EnetDatagram datagram;
};
