#pragma once

#include <enet/enet.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// How long each of a host's peers has been in its ENet state, brought up to date every tick;
// a peer that stays longer than kLimboSeconds in a state before or after a connection is let go
// (enet_peer_reset). Nothing else bounds those: a half-open handshake never raises CONNECT, and
// a peer once reset has ENet's default timeouts again (about 31 s) until it connects.
class PeerSweep {
public:
    static constexpr double kLimboSeconds = 2.0;

    explicit PeerSweep(std::size_t peers) : records(peers) {}

    // Brings every record up to date at nowSeconds and lets go of the peers in limbo too long,
    // telling gone(index) about each before it is reset.
    template <typename Gone> void sweep(ENetHost& host, double nowSeconds, Gone&& gone) {
        for (std::size_t i = 0; i < host.peerCount && i < records.size(); ++i) {
            ENetPeer& peer = host.peers[i];
            Record& record = records[i];
            if (peer.state != record.state || peer.connectID != record.connectId) {
                record = {peer.state, peer.connectID, nowSeconds};
            }
            if (inLimbo(peer.state) && nowSeconds - record.since > kLimboSeconds) {
                gone(i);
                enet_peer_reset(&peer);
                record = {peer.state, peer.connectID, nowSeconds};
            }
        }
    }

    // Seconds since peer index entered the state it was in at the last sweep.
    double age(std::size_t index, double nowSeconds) const {
        return nowSeconds - records[index].since;
    }

    static bool inLimbo(ENetPeerState state);

private:
    struct Record {
        ENetPeerState state = ENET_PEER_STATE_DISCONNECTED;
        std::uint32_t connectId = 0;
        double since = 0.0;
    };
    std::vector<Record> records;
};
