#include "net/PeerGuard.h"

namespace {

std::uint32_t bitOf(protocol::Kind kind) {
    return std::uint32_t{1} << static_cast<unsigned>(kind);
}

Seal::Carrier carrierOf(const EnetDatagram::Command& command) {
    Seal::Carrier carrier;
    carrier.channel = command.channel;
    carrier.command = command.number;
    carrier.reliableSequence = command.reliableSequence;
    carrier.secondSequence = command.secondSequence;
    return carrier;
}

// How far a sequence number is ahead of the last one taken, the way round ENet counts.
std::uint16_t ahead(std::uint16_t sequence, std::uint16_t taken) {
    return static_cast<std::uint16_t>(sequence - taken);
}

} // namespace

void PeerGuard::reset() {
    link.end();
    if (side == Side::Server) {
        expect({protocol::Kind::Hello});
    } else {
        expect({protocol::Kind::Challenge, protocol::Kind::Refused, protocol::Kind::Welcome});
    }
    farewell = false;
    heard = -1.0;
    snapshotHeard = -1.0;
    windowStart = 0.0;
    inWindow = 0;
}

void PeerGuard::expect(std::initializer_list<protocol::Kind> kinds) {
    expected = 0;
    for (protocol::Kind kind : kinds) {
        expected |= bitOf(kind);
    }
}

PeerGuard::Verdict PeerGuard::judge(const EnetDatagram& datagram, const ENetPeer& peer,
                                    double nowSeconds) {
    bool forged = false;
    for (std::size_t i = 0; i < datagram.size(); ++i) {
        const EnetDatagram::Command& command = datagram[i];
        bool passes = false;
        switch (command.number) {
        case ENET_PROTOCOL_COMMAND_ACKNOWLEDGE:
        case ENET_PROTOCOL_COMMAND_PING:
            passes = true;
            break;
        case ENET_PROTOCOL_COMMAND_VERIFY_CONNECT:
            // Once connected, a VERIFY_CONNECT is the server's repeat of one whose
            // acknowledgement was lost: ENet reads nothing of it but acknowledges it again, and
            // without that acknowledgement the server never takes the connection as made.
            passes = side == Side::Client &&
                     (peer.state == ENET_PEER_STATE_CONNECTING ||
                      peer.state == ENET_PEER_STATE_CONNECTED) &&
                     EnetDatagram::field32(command, EnetDatagram::kConnectChannelCount) ==
                         protocol::kChannelCount;
            break;
        case ENET_PROTOCOL_COMMAND_DISCONNECT:
            passes = farewell;
            break;
        case ENET_PROTOCOL_COMMAND_SEND_RELIABLE:
            passes = reliable(command, peer, nowSeconds, forged);
            break;
        case ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE:
        case ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED:
            passes = unreliable(command, peer, nowSeconds, forged);
            break;
        default:
            break;
        }
        if (!passes) {
            return forged ? Verdict::Forged : Verdict::Drop;
        }
    }
    return Verdict::Pass;
}

bool PeerGuard::reliable(const EnetDatagram::Command& command, const ENetPeer& peer,
                         double nowSeconds, bool& forged) {
    // A server's snapshot goes reliable once the channel's unreliable numbers run out.
    const bool channel =
        command.channel == protocol::kControl ||
        (side == Side::Client && keyed() && command.channel == protocol::kSnapshots);
    if (!channel || peer.channels == nullptr || command.channel >= peer.channelCount) {
        return false;
    }
    const std::uint16_t distance = ahead(
        command.reliableSequence, peer.channels[command.channel].incomingReliableSequenceNumber);
    if (distance == 0 || distance >= 0x8000) {
        return true; // delivered already: ENet drops it unread
    }
    if (command.payloadSize == 0 || distance > (keyed() ? kReliableAhead : 1)) {
        return false;
    }
    if (keyed()) {
        forged = !opens(command, nowSeconds);
        return !forged;
    }
    const auto kind = static_cast<protocol::Kind>(command.payload[0]);
    if (command.payload[0] > static_cast<std::uint8_t>(protocol::kLastKind) ||
        (expected & bitOf(kind)) == 0 || command.payloadSize > protocol::kMaxHandshakeBytes) {
        return false;
    }
    farewell = farewell || (side == Side::Client && kind == protocol::Kind::Refused);
    return true;
}

bool PeerGuard::unreliable(const EnetDatagram::Command& command, const ENetPeer& peer,
                           double nowSeconds, bool& forged) {
    // A client sends its commands unsequenced; a server sends its snapshots unreliable.
    const bool server = side == Side::Server;
    const bool expectedHere = server ? command.number == ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED &&
                                           command.channel == protocol::kCommands &&
                                           ahead(command.secondSequence,
                                                 peer.incomingUnsequencedGroup) < kUnsequencedAhead
                                     : command.number == ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE &&
                                           command.channel == protocol::kSnapshots;
    if (!keyed() || !expectedHere || command.payloadSize == 0) {
        return false;
    }
    forged = !opens(command, nowSeconds);
    if (!forged && !server) {
        snapshotHeard = nowSeconds;
    }
    return !forged;
}

bool PeerGuard::opens(const EnetDatagram::Command& command, double nowSeconds) {
    if (nowSeconds - windowStart >= 1.0) {
        windowStart = nowSeconds;
        inWindow = 0;
    }
    if (!link.open(command.payload, command.payloadSize, carrierOf(command))) {
        return false;
    }
    ++inWindow;
    heard = nowSeconds;
    farewell = farewell || Seal::farewell(command.payload, command.payloadSize);
    return true;
}
