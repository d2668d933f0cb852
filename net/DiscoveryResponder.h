#pragma once

#include "net/AttemptLimiter.h"
#include "net/Discovery.h"

#include <enet/enet.h>

#include <cstdint>

// A server's side of finding games on the local network: each well-formed discovery request
// that reaches the server's port is answered with what the server is now (about), from the
// server's own socket to the request's sender, at most perAddress times a second to one address
// and perServer times to all together. Nothing is kept for a sender but its place in the
// limiter's fixed table; a request is read in place and the answer written into a buffer made
// once. A server with answering turned off (enabled false) drops every request unanswered.
class DiscoveryResponder {
public:
    struct Limits {
        int perAddress = 10;         // answers a second
        int perServer = 200;         // answers a second, to everyone together
        std::size_t addresses = 256; // remembered by the limiter
    };
    struct Counts {
        std::uint64_t answered = 0;
        std::uint64_t malformed = 0;  // marked, but no request
        std::uint64_t overBudget = 0; // over a rate, or answering is off
    };

    explicit DiscoveryResponder(const Limits& limits);

    // Takes the datagram the host has just received (ENetHost::receivedData) when it is marked
    // as discovery, answering it when it is a request within the limits: true when it was
    // taken, and ENet must not see it.
    bool take(ENetHost& host, double nowSeconds);
    const Counts& counts() const { return counted; }

    bool enabled = true;
    discovery::Answer about; // the nonce is each request's own

private:
    AttemptLimiter limiter;
    discovery::AnswerBytes answer{};
    Counts counted;
};
