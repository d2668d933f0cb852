#include "HandClient.h"

#include <chrono>

HandClient::HandClient(std::uint16_t port, const std::string& password)
    : port(port), password(password), gate(std::chrono::steady_clock::now()),
      host(NetHost::connecting()) {
    handshake::ready();
    host.guard(gate);
    peer = host.connect("127.0.0.1", port);
}

bool HandClient::join(double seconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(seconds));
    while (seat < 0 && peer != nullptr && Clock::now() < until) {
        service(10);
    }
    return seat >= 0;
}

void HandClient::service(std::uint32_t ms) {
    host.service(ms, [&](const ENetEvent& event) {
        if (event.type == ENET_EVENT_TYPE_CONNECT) {
            keys = handshake::freshKeyPair();
            protocol::Hello hello;
            hello.key = keys.publicKey;
            bytes.clear();
            protocol::encode(hello, bytes);
            NetHost::send(peer, protocol::kControl, NetHost::Delivery::Reliable, bytes.data(),
                          bytes.size());
        } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            onReceive(event.channelID, event.packet->data, event.packet->dataLength);
        } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
            peer = nullptr;
        }
    });
}

void HandClient::onReceive(std::uint8_t channel, const std::uint8_t* data, std::size_t size) {
    protocol::Challenge challenge;
    protocol::Welcome welcome;
    if (!gate.guard.keyed() && protocol::decode(data, size, challenge)) {
        transcript.serverNonce = challenge.nonce;
        transcript.clientNonce = handshake::freshNonce();
        transcript.clientKey = keys.publicKey;
        transcript.serverKey = challenge.key;
        protocol::Answer answer;
        answer.nonce = transcript.clientNonce;
        answer.mac = handshake::proof(*handshake::keyOf(password, challenge.salt),
                                      handshake::Side::Client, transcript);
        bytes.clear();
        protocol::encode(answer, bytes);
        NetHost::send(peer, protocol::kControl, NetHost::Delivery::Reliable, bytes.data(),
                      bytes.size());
    } else if (!gate.guard.keyed() && protocol::decode(data, size, welcome)) {
        Seal::Key receive;
        Seal::Key send;
        handshake::clientSession(keys, welcome.key, receive, send);
        gate.guard.link.begin(receive, send);
        sendSealed(protocol::kControl, NetHost::Delivery::Reliable, [] {
            std::vector<std::uint8_t> join;
            protocol::encode(protocol::Join(), join);
            return join;
        }());
    } else if (gate.guard.keyed()) {
        gate.guard.link.receive(channel, data, size,
                                [&](const std::uint8_t* message, std::size_t length) {
                                    protocol::Admitted admitted;
                                    if (protocol::decode(message, length, admitted)) {
                                        seat = admitted.seat;
                                    }
                                });
    }
}

void HandClient::sendSealed(std::uint8_t channel, NetHost::Delivery delivery,
                            const std::vector<std::uint8_t>& message) {
    if (peer == nullptr) {
        return;
    }
    if (delivery == NetHost::Delivery::Reliable) {
        gate.guard.link.queue(message);
        gate.guard.link.flush(peer);
    } else {
        gate.guard.link.sendAlone(peer, channel, delivery, message);
    }
}

void HandClient::sendPlain(std::uint8_t channel, enet_uint32 flags,
                           const std::vector<std::uint8_t>& data) {
    ENetPacket* packet = enet_packet_create(data.data(), data.size(), flags);
    if (peer != nullptr && packet != nullptr && enet_peer_send(peer, channel, packet) == 0) {
        return;
    }
    if (packet != nullptr) {
        enet_packet_destroy(packet);
    }
}

void HandClient::leave() {
    if (peer != nullptr) {
        enet_peer_disconnect_now(peer, 0);
        peer = nullptr;
    }
}
