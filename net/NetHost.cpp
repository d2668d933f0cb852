#include "net/NetHost.h"

#include "net/Protocol.h"

#include <utility>

namespace {

// ENet's library needs no more than a start per host on this platform; each host pairs its
// start with an end.
ENetHost* created(const ENetAddress* address, std::size_t peers) {
    if (enet_initialize() != 0) {
        return nullptr;
    }
    ENetHost* host = enet_host_create(address, peers, protocol::kChannelCount, 0, 0);
    if (host == nullptr) {
        enet_deinitialize();
        return nullptr;
    }
    host->maximumPacketSize = NetHost::kMaximumPacketSize;
    host->maximumWaitingData = NetHost::kMaximumWaitingData;
    host->duplicatePeers = peers;
    return host;
}

} // namespace

NetHost NetHost::listening(std::uint16_t port, std::size_t peers) {
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = port;
    return NetHost(created(&address, peers));
}

NetHost NetHost::connecting() {
    return NetHost(created(nullptr, 1));
}

NetHost::NetHost(NetHost&& other) noexcept : host(std::exchange(other.host, nullptr)) {}

NetHost& NetHost::operator=(NetHost&& other) noexcept {
    std::swap(host, other.host);
    return *this;
}

NetHost::~NetHost() {
    if (host != nullptr) {
        enet_host_destroy(host);
        enet_deinitialize();
    }
}

ENetPeer* NetHost::connect(const std::string& hostName, std::uint16_t port) {
    ENetAddress address;
    if (host == nullptr || enet_address_set_host(&address, hostName.c_str()) != 0) {
        return nullptr;
    }
    address.port = port;
    // The peer is configured once connected: a throttle change sent before that would be
    // taken as the first command of a connection.
    return enet_host_connect(host, &address, protocol::kChannelCount, 0);
}

bool NetHost::send(ENetPeer* peer, std::uint8_t channel, Delivery delivery,
                   const std::uint8_t* data, std::size_t size) {
    const enet_uint32 flags = delivery == Delivery::Reliable      ? ENET_PACKET_FLAG_RELIABLE
                              : delivery == Delivery::Unsequenced ? ENET_PACKET_FLAG_UNSEQUENCED
                                                                  : 0;
    ENetPacket* packet = enet_packet_create(data, size, flags);
    if (packet == nullptr) {
        return false;
    }
    if (enet_peer_send(peer, channel, packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    return true;
}

Seal::Carrier NetHost::nextCarrier(const ENetPeer* peer, std::uint8_t channel, Delivery delivery) {
    const ENetChannel& numbers = peer->channels[channel];
    Seal::Carrier carrier;
    carrier.channel = channel;
    // An unreliable packet goes reliable once the channel's unreliable numbers run out.
    if (delivery == Delivery::Reliable ||
        (delivery == Delivery::Unreliable && numbers.outgoingUnreliableSequenceNumber == 0xFFFF)) {
        carrier.command = ENET_PROTOCOL_COMMAND_SEND_RELIABLE;
        carrier.reliableSequence =
            static_cast<std::uint16_t>(numbers.outgoingReliableSequenceNumber + 1);
    } else if (delivery == Delivery::Unsequenced) {
        carrier.command = ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED;
        carrier.secondSequence = static_cast<std::uint16_t>(peer->outgoingUnsequencedGroup + 1);
    } else {
        carrier.command = ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE;
        carrier.reliableSequence = numbers.outgoingReliableSequenceNumber;
        carrier.secondSequence =
            static_cast<std::uint16_t>(numbers.outgoingUnreliableSequenceNumber + 1);
    }
    return carrier;
}

void NetHost::configure(ENetPeer* peer) {
    enet_peer_timeout(peer, 0, kTimeoutMinimumMs, kTimeoutMaximumMs);
    peer->packetThrottleInterval = ENET_PEER_PACKET_THROTTLE_INTERVAL;
    peer->packetThrottleAcceleration = ENET_PEER_PACKET_THROTTLE_ACCELERATION;
    peer->packetThrottleDeceleration = 0;
}

namespace {
int intercept(ENetHost* host, ENetEvent*) {
    auto* gate = static_cast<DatagramGate*>(host->compressor.context);
    return gate != nullptr && gate->admit(*host) ? 0 : 1;
}
} // namespace

void NetHost::guard(DatagramGate& gate) {
    if (host == nullptr) {
        return;
    }
    ENetCompressor carrier{};
    carrier.context = &gate;
    enet_host_compress(host, &carrier);
    host->intercept = intercept;
}
