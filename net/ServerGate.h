#pragma once

#include "net/AttemptLimiter.h"
#include "net/DatagramGate.h"
#include "net/DiscoveryResponder.h"
#include "net/EnetDatagram.h"
#include "net/PeerGuard.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

// The door of a server's host: every datagram it receives is judged here before ENet takes it,
// and what does not pass costs no more than reading its header and commands.
//
// A datagram from a host that has no peer here may only be one CONNECT for our channels, from
// an address that holds fewer than strangersPerAddress peers not yet past the password, from a
// /24 holding fewer than strangersPerNetwork, while strangers hold fewer than all the peers but
// `reserved` (an address that has proven itself may take those too), within the connects'
// rate. A datagram for a peer must come from that peer's address and session and pass its
// PeerGuard; before its keys, a connection gets through at most strangerDatagramsPerSecond
// datagrams (counted afresh for each connection a peer slot takes, so that strangers passing
// through a slot before it spend none of a newcomer's) and strangers together
// strangersPerSecond; after, at most messagesPerSecond sealed messages.
// Everything dropped is counted. A discovery request is answered (or not) by discovery and
// never reaches ENet.
class ServerGate : public DatagramGate {
public:
    struct Limits {
        std::size_t strangersPerAddress = 2;
        std::size_t strangersPerNetwork = 8;
        std::size_t reserved = 8;
        int strangerDatagramsPerSecond = 50;
        int strangersPerSecond = 2000;
        int messagesPerSecond = 200;
        AttemptLimiter::Limits connects{10, 40, 200, 256, 64, 64};
        AttemptLimiter::Limits attempts{5, 20, 50, 256, 64, 64}; // Hellos: key exchanges
        AttemptLimiter::Limits checks{5, 20, 50, 256, 64, 64};   // answers to the password
        DiscoveryResponder::Limits discovery;
    };
    struct Counts {
        std::uint64_t dropped = 0;    // malformed, or carrying what may not pass
        std::uint64_t forged = 0;     // a sealed payload that did not open
        std::uint64_t overBudget = 0; // over a rate or a number of peers
    };

    ServerGate(std::size_t peers, const Limits& limits,
               std::chrono::steady_clock::time_point epoch);

    bool admit(ENetHost& host) override;

    PeerGuard& guard(std::size_t peer) { return guards[peer]; }
    const PeerGuard& guard(std::size_t peer) const { return guards[peer]; }
    // Seconds since the epoch the server counts from.
    double now() const;
    const Counts& counts() const { return counted; }
    // The address has proven itself: past the password, or joined a server without one.
    void trust(std::uint32_t address, double nowSeconds);
    bool trusted(std::uint32_t address) const { return attempts.trusted(address); }

    AttemptLimiter attempts;
    AttemptLimiter checks;
    DiscoveryResponder discovery;

private:
    struct Window {
        double start = 0.0;
        int count = 0;
        bool take(int most, double nowSeconds);
    };
    // A stranger's window, for the connection (ENet's connect id) it counts.
    struct StrangerWindow {
        std::uint32_t connection = 0;
        Window window;
    };

    bool stranger(const ENetHost& host, const EnetDatagram& datagram, double nowSeconds);

    Limits limits;
    std::chrono::steady_clock::time_point epoch;
    EnetDatagram datagram;
    std::vector<PeerGuard> guards;
    std::vector<StrangerWindow> strangerWindows; // by peer
    Window strangersTogether;
    AttemptLimiter connects;
    Counts counted;
};
