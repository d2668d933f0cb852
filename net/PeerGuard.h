#pragma once

#include "net/EnetDatagram.h"
#include "net/Protocol.h"
#include "net/SealedLink.h"

#include <cstdint>
#include <initializer_list>

// What one peer's datagrams may carry, judged command by command before ENet takes them, and
// the sealed link to that peer.
//
// Before the keys: acknowledgements, pings, and on kControl the next reliable message only,
// plain, of a kind the handshake expects now (expect()). After: acknowledgements, pings, and
// sealed messages only, each opened in place and taken only if genuine and new: reliable ones
// on kControl at most kReliableAhead ahead of what ENet has delivered, and the other side's own
// kind of unreliable traffic (a client's unsequenced commands, a server's snapshots). Always:
// a reliable message ENet has already delivered passes unread (ENet drops it and acknowledges
// it, which stops its sender sending it again), and so, on a client, does the server's
// VERIFY_CONNECT sent again after the connection is made; a DISCONNECT only once the peer has said
// farewell (a sealed Leave or Refused, or a plain Refused); never a THROTTLE_CONFIGURE, a
// BANDWIDTH_LIMIT, a fragment, a CONNECT, or anything on another channel. One command that may
// not pass drops the whole datagram.
class PeerGuard {
public:
    // The side the guard stands on: a server guards against a client, and the other way.
    enum class Side { Server, Client };
    static constexpr std::uint16_t kReliableAhead = 256;
    static constexpr std::uint16_t kUnsequencedAhead = 4096;

    explicit PeerGuard(Side side) : side(side) { reset(); }

    // A new connection: no keys, nothing heard; the first plain kinds of a handshake expected
    // (a client's Hello; a server's Challenge, Refused or Welcome).
    void reset();
    // The plain kinds the peer may send now, before the keys.
    void expect(std::initializer_list<protocol::Kind> kinds);

    enum class Verdict { Pass, Drop, Forged };
    // Judges every command of datagram for peer, opening sealed payloads in place, at
    // nowSeconds.
    Verdict judge(const EnetDatagram& datagram, const ENetPeer& peer, double nowSeconds);

    bool keyed() const { return link.ready(); }
    bool farewellHeard() const { return farewell; }
    // When a sealed message (of any kind, or a snapshot) last came; negative before any.
    double lastHeard() const { return heard; }
    double lastSnapshot() const { return snapshotHeard; }
    // Whether perSecond sealed messages have been taken in the second under way.
    bool overBudget(int perSecond, double nowSeconds) const {
        return nowSeconds - windowStart < 1.0 && inWindow >= perSecond;
    }

    SealedLink link;

private:
    bool reliable(const EnetDatagram::Command& command, const ENetPeer& peer, double nowSeconds,
                  bool& forged);
    bool unreliable(const EnetDatagram::Command& command, const ENetPeer& peer, double nowSeconds,
                    bool& forged);
    bool opens(const EnetDatagram::Command& command, double nowSeconds);

    Side side;
    std::uint32_t expected = 0; // a bit per plain kind
    bool farewell = false;
    double heard = -1.0;
    double snapshotHeard = -1.0;
    double windowStart = 0.0;
    int inWindow = 0;
};
