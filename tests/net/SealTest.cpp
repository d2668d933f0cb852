// The seal: a message opens only as it was sealed, in the very ENet command it was sealed for,
// and only once (reliable ones as often as ENet sends them again); the stream of reliable
// messages comes back whole however it was cut; and the numbers a sealed message is bound to are
// the ones ENet really gives its command.
#include "net/DatagramGate.h"
#include "net/EnetDatagram.h"
#include "net/Handshake.h"
#include "net/NetHost.h"
#include "net/SealedLink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Pair {
    Pair() {
        handshake::ready();
        const handshake::KeyPair client = handshake::freshKeyPair();
        const handshake::KeyPair server = handshake::freshKeyPair();
        Seal::Key clientReceive, clientSend, serverReceive, serverSend;
        EXPECT_TRUE(handshake::clientSession(client, server.publicKey, clientReceive, clientSend));
        EXPECT_TRUE(handshake::serverSession(server, client.publicKey, serverReceive, serverSend));
        sender.begin(clientReceive, clientSend);
        receiver.begin(serverReceive, serverSend);
    }
    Seal sender;
    Seal receiver;
};

Seal::Carrier carrier(std::uint8_t command, std::uint16_t reliable, std::uint16_t second) {
    Seal::Carrier made;
    made.channel = 1;
    made.command = command;
    made.reliableSequence = reliable;
    made.secondSequence = second;
    return made;
}

Bytes sealed(Seal& seal, const Bytes& plain, const Seal::Carrier& on,
             Seal::Form form = Seal::Form::Data) {
    Bytes out;
    seal.seal(form, plain.data(), plain.size(), on, out);
    return out;
}

TEST(SealTest, OpensOnlyAsSealedInItsOwnCommandAndOnlyOnce) {
    Pair pair;
    const Bytes plain{10, 20, 30, 40};
    const Seal::Carrier on = carrier(ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED, 0, 77);
    Bytes message = sealed(pair.sender, plain, on);
    ASSERT_EQ(message.size(), plain.size() + Seal::kOverhead);
    // Any byte changed, or another command's numbers: refused.
    for (std::size_t i = 0; i < message.size(); ++i) {
        Bytes changed = message;
        changed[i] ^= 0x40;
        EXPECT_FALSE(pair.receiver.open(changed.data(), changed.size(), on)) << "byte " << i;
    }
    for (const Seal::Carrier& other : {carrier(ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED, 0, 78),
                                       carrier(ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE, 0, 77),
                                       carrier(ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED, 1, 77)}) {
        Bytes copy = message;
        EXPECT_FALSE(pair.receiver.open(copy.data(), copy.size(), other));
    }
    // The other direction's key does not open it either.
    Bytes mirrored = message;
    EXPECT_FALSE(pair.sender.open(mirrored.data(), mirrored.size(), on));
    // Genuine: opened in place, once.
    Bytes copy = message;
    ASSERT_TRUE(pair.receiver.open(copy.data(), copy.size(), on));
    Seal::Form form;
    const std::uint8_t* text = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(Seal::opened(copy.data(), copy.size(), form, text, size));
    EXPECT_EQ(form, Seal::Form::Data);
    EXPECT_EQ(Bytes(text, text + size), plain);
    copy = message;
    EXPECT_FALSE(pair.receiver.open(copy.data(), copy.size(), on)) << "a replay";
}

TEST(SealTest, UnsequencedComeOutOfOrderWithinTheWindowAndReliableOnesAgain) {
    Pair pair;
    const Bytes plain{1};
    std::vector<Bytes> messages;
    for (std::uint16_t i = 0; i < 100; ++i) {
        messages.push_back(
            sealed(pair.sender, plain, carrier(ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED, 0, i)));
    }
    const auto open = [&](std::uint16_t i) {
        Bytes copy = messages[i];
        return pair.receiver.open(copy.data(), copy.size(),
                                  carrier(ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED, 0, i));
    };
    EXPECT_TRUE(open(90));
    EXPECT_TRUE(open(30));  // 60 behind: within the window
    EXPECT_FALSE(open(20)); // 70 behind: too old
    EXPECT_TRUE(open(89));
    EXPECT_FALSE(open(89));
    EXPECT_TRUE(open(99));
    // A reliable message: ENet sends it again until it is acknowledged.
    const Seal::Carrier first = carrier(ENET_PROTOCOL_COMMAND_SEND_RELIABLE, 1, 0);
    Bytes reliable = sealed(pair.sender, Bytes{5}, first, Seal::Form::Farewell);
    for (int again = 0; again < 3; ++again) {
        Bytes copy = reliable;
        ASSERT_TRUE(pair.receiver.open(copy.data(), copy.size(), first));
        EXPECT_TRUE(Seal::farewell(copy.data(), copy.size()));
    }
}

TEST(SealTest, TheReliableStreamComesBackWholeHoweverItIsCut) {
    // Messages up to the largest, through pieces of any length, one piece at a time.
    std::mt19937 random(3);
    std::vector<Bytes> sent;
    Bytes stream;
    for (std::size_t length : {std::size_t{1}, std::size_t{200}, SealedLink::kLargestMessage,
                               std::size_t{3000}, std::size_t{2}}) {
        Bytes message(length);
        for (std::uint8_t& byte : message) {
            byte = static_cast<std::uint8_t>(random());
        }
        sent.push_back(message);
        stream.push_back(static_cast<std::uint8_t>(length));
        stream.push_back(static_cast<std::uint8_t>(length >> 8));
        stream.insert(stream.end(), message.begin(), message.end());
    }
    SealedLink link;
    std::vector<Bytes> received;
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t piece =
            std::min<std::size_t>(1 + random() % SealedLink::kLargestPiece, stream.size() - at);
        Bytes opened{Seal::kOpenedData, 0, 0, 0, 0, 0, 0, 0, 0};
        opened.insert(opened.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                      stream.begin() + static_cast<std::ptrdiff_t>(at + piece));
        opened.resize(opened.size() + Seal::kTagBytes);
        ASSERT_TRUE(link.receive(protocol::kControl, opened.data(), opened.size(),
                                 [&](const std::uint8_t* data, std::size_t size) {
                                     received.emplace_back(data, data + size);
                                 }));
        at += piece;
    }
    EXPECT_EQ(received, sent);
    // A length over the largest message breaks the stream; a packet not opened is refused.
    Bytes broken{Seal::kOpenedData, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 1};
    broken.resize(broken.size() + Seal::kTagBytes);
    EXPECT_FALSE(link.receive(protocol::kControl, broken.data(), broken.size(),
                              [](const std::uint8_t*, std::size_t) {}));
    broken[0] = Seal::kSealedData;
    EXPECT_FALSE(link.receive(protocol::kSnapshots, broken.data(), broken.size(),
                              [](const std::uint8_t*, std::size_t) {}));
}

// Records the carrier of every payload command that reaches a host.
class Recorder : public DatagramGate {
public:
    bool admit(ENetHost& host) override {
        if (datagram.read(host.receivedData, host.receivedDataLength)) {
            for (std::size_t i = 0; i < datagram.size(); ++i) {
                const EnetDatagram::Command& command = datagram[i];
                if (command.payload != nullptr) {
                    carriers.push_back({command.channel, command.number, command.reliableSequence,
                                        command.secondSequence});
                }
            }
        }
        return true;
    }
    EnetDatagram datagram;
    std::vector<Seal::Carrier> carriers;
};

TEST(SealTest, TheCarrierForeseenIsTheCommandEnetSends) {
    Recorder recorder;
    NetHost server = NetHost::listening(0, 1);
    ASSERT_TRUE(server.ok());
    server.guard(recorder);
    NetHost client = NetHost::connecting();
    ENetPeer* peer = client.connect("127.0.0.1", server.port());
    bool connected = false;
    const auto serviceBoth = [&] {
        client.service(0, [&](const ENetEvent& event) {
            connected = connected || event.type == ENET_EVENT_TYPE_CONNECT;
        });
        server.service(2, [](const ENetEvent&) {});
    };
    for (int i = 0; i < 500 && !connected; ++i) {
        serviceBoth();
    }
    ASSERT_TRUE(connected);
    std::vector<Seal::Carrier> foreseen;
    const Bytes payload{1, 2, 3};
    const auto send = [&](std::uint8_t channel, NetHost::Delivery delivery) {
        foreseen.push_back(NetHost::nextCarrier(peer, channel, delivery));
        ASSERT_TRUE(NetHost::send(peer, channel, delivery, payload.data(), payload.size()));
    };
    for (int round = 0; round < 5; ++round) {
        send(protocol::kControl, NetHost::Delivery::Reliable);
        send(protocol::kSnapshots, NetHost::Delivery::Unreliable);
        send(protocol::kCommands, NetHost::Delivery::Unsequenced);
        send(protocol::kSnapshots, NetHost::Delivery::Reliable);
        send(protocol::kSnapshots, NetHost::Delivery::Unreliable);
    }
    // When a channel's unreliable numbers run out, ENet sends the next one reliable.
    peer->channels[protocol::kSnapshots].outgoingUnreliableSequenceNumber = 0xFFFF;
    send(protocol::kSnapshots, NetHost::Delivery::Unreliable);
    send(protocol::kSnapshots, NetHost::Delivery::Unreliable);
    enet_host_flush(client.get());
    for (int i = 0; i < 200 && recorder.carriers.size() < foreseen.size(); ++i) {
        serviceBoth();
    }
    ASSERT_EQ(recorder.carriers.size(), foreseen.size());
    for (std::size_t i = 0; i < foreseen.size(); ++i) {
        EXPECT_EQ(recorder.carriers[i].channel, foreseen[i].channel) << i;
        EXPECT_EQ(recorder.carriers[i].command, foreseen[i].command) << i;
        EXPECT_EQ(recorder.carriers[i].reliableSequence, foreseen[i].reliableSequence) << i;
        EXPECT_EQ(recorder.carriers[i].secondSequence, foreseen[i].secondSequence) << i;
    }
    EXPECT_EQ(foreseen[foreseen.size() - 2].command, ENET_PROTOCOL_COMMAND_SEND_RELIABLE);
}

} // namespace
