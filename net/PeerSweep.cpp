#include "net/PeerSweep.h"

bool PeerSweep::inLimbo(ENetPeerState state) {
    switch (state) {
    case ENET_PEER_STATE_CONNECTING:
    case ENET_PEER_STATE_ACKNOWLEDGING_CONNECT:
    case ENET_PEER_STATE_CONNECTION_PENDING:
    case ENET_PEER_STATE_CONNECTION_SUCCEEDED:
    case ENET_PEER_STATE_DISCONNECT_LATER:
    case ENET_PEER_STATE_DISCONNECTING:
    case ENET_PEER_STATE_ACKNOWLEDGING_DISCONNECT:
        return true;
    default:
        return false;
    }
}
