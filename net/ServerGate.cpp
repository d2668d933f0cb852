#include "net/ServerGate.h"

#include "net/Protocol.h"

ServerGate::ServerGate(std::size_t peers, const Limits& limits,
                       std::chrono::steady_clock::time_point epoch)
    : attempts(limits.attempts), checks(limits.checks), discovery(limits.discovery), limits(limits),
      epoch(epoch), strangerWindows(peers), connects(limits.connects) {
    // Made in place: each keeps the buffers it reserved.
    guards.reserve(peers);
    for (std::size_t i = 0; i < peers; ++i) {
        guards.emplace_back(PeerGuard::Side::Server);
    }
}

void ServerGate::trust(std::uint32_t address, double nowSeconds) {
    attempts.trust(address, nowSeconds);
    checks.trust(address, nowSeconds);
    connects.trust(address, nowSeconds);
}

double ServerGate::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - epoch).count();
}

bool ServerGate::Window::take(int most, double nowSeconds) {
    if (nowSeconds - start >= 1.0) {
        start = nowSeconds;
        count = 0;
    }
    return ++count <= most;
}

bool ServerGate::admit(ENetHost& host) {
    const double time = now();
    if (discovery.take(host, time)) {
        return false;
    }
    if (!datagram.read(host.receivedData, host.receivedDataLength) || datagram.compressed()) {
        ++counted.dropped;
        return false;
    }
    if (datagram.peerId() == EnetDatagram::kNoPeer) {
        return stranger(host, datagram, time);
    }
    if (datagram.peerId() >= host.peerCount) {
        ++counted.dropped;
        return false;
    }
    const ENetPeer& peer = host.peers[datagram.peerId()];
    const bool known = peer.state != ENET_PEER_STATE_DISCONNECTED &&
                       peer.state != ENET_PEER_STATE_ZOMBIE &&
                       peer.address.host == host.receivedAddress.host &&
                       peer.address.port == host.receivedAddress.port &&
                       (peer.outgoingPeerID >= EnetDatagram::kNoPeer ||
                        datagram.session() == peer.incomingSessionID);
    if (!known) {
        ++counted.dropped;
        return false;
    }
    PeerGuard& guarded = guards[datagram.peerId()];
    StrangerWindow& own = strangerWindows[datagram.peerId()];
    if (own.connection != peer.connectID) {
        own = {peer.connectID, Window()};
    }
    const bool withinBudget = guarded.keyed()
                                  ? !guarded.overBudget(limits.messagesPerSecond, time)
                                  : own.window.take(limits.strangerDatagramsPerSecond, time) &&
                                        strangersTogether.take(limits.strangersPerSecond, time);
    if (!withinBudget) {
        ++counted.overBudget;
        return false;
    }
    switch (guarded.judge(datagram, peer, time)) {
    case PeerGuard::Verdict::Pass:
        return true;
    case PeerGuard::Verdict::Forged:
        ++counted.forged;
        return false;
    case PeerGuard::Verdict::Drop:
        break;
    }
    ++counted.dropped;
    return false;
}

bool ServerGate::stranger(const ENetHost& host, const EnetDatagram& connect, double nowSeconds) {
    if (connect.size() != 1 || connect[0].number != ENET_PROTOCOL_COMMAND_CONNECT ||
        connect[0].channel != 0xFF ||
        EnetDatagram::field32(connect[0], EnetDatagram::kConnectChannelCount) !=
            protocol::kChannelCount ||
        EnetDatagram::field32(connect[0], EnetDatagram::kConnectMtu) < ENET_HOST_DEFAULT_MTU) {
        ++counted.dropped;
        return false;
    }
    const std::uint32_t address = host.receivedAddress.host;
    const std::uint32_t network = AttemptLimiter::networkOf(address);
    std::size_t fromAddress = 0;
    std::size_t fromNetwork = 0;
    std::size_t strangers = 0;
    for (std::size_t i = 0; i < host.peerCount; ++i) {
        const ENetPeer& peer = host.peers[i];
        if (peer.state == ENET_PEER_STATE_DISCONNECTED || guards[i].keyed()) {
            continue;
        }
        ++strangers;
        fromAddress += peer.address.host == address ? 1 : 0;
        fromNetwork += AttemptLimiter::networkOf(peer.address.host) == network ? 1 : 0;
    }
    const bool room = fromAddress < limits.strangersPerAddress &&
                      fromNetwork < limits.strangersPerNetwork &&
                      (strangers + limits.reserved < host.peerCount || trusted(address));
    if (!room || !connects.allow(address, nowSeconds)) {
        ++counted.overBudget;
        return false;
    }
    return true;
}
