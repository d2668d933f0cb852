#include "net/ClientGate.h"

double ClientGate::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - epoch).count();
}

bool ClientGate::admit(ENetHost& host) {
    if (!datagram.read(host.receivedData, host.receivedDataLength) || datagram.compressed() ||
        datagram.peerId() >= host.peerCount) {
        ++dropped;
        return false;
    }
    const ENetPeer& server = host.peers[datagram.peerId()];
    const bool known = server.state != ENET_PEER_STATE_DISCONNECTED &&
                       server.state != ENET_PEER_STATE_ZOMBIE &&
                       server.address.host == host.receivedAddress.host &&
                       server.address.port == host.receivedAddress.port &&
                       (server.outgoingPeerID >= EnetDatagram::kNoPeer ||
                        datagram.session() == server.incomingSessionID);
    if (!known) {
        ++dropped;
        return false;
    }
    switch (guard.judge(datagram, server, now())) {
    case PeerGuard::Verdict::Pass:
        return true;
    case PeerGuard::Verdict::Forged:
        ++forged;
        return false;
    case PeerGuard::Verdict::Drop:
        break;
    }
    ++dropped;
    return false;
}
