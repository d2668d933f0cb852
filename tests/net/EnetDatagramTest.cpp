// Raw ENet datagrams read without trust: every command ENet sends reads back with its numbers and
// payload, in either header size; and no run of bytes, cut, mended or random, is read past its
// end or read as a datagram unless every command and payload in it fits exactly.
#include "net/EnetDatagram.h"
#include "EnetForge.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes everyCommand(int sentTime) {
    return EnetForge(0x123, 2, sentTime)
        .acknowledge(0, 7, 0x1234)
        .ping(3)
        .reliable(0, 0xFFFE, {1, 2, 3})
        .unreliable(2, 4, 0x8001, {9, 9})
        .unsequenced(1, 0x7C00, {})
        .fragment(0, 40, 3, 1, 3000, 1000, Bytes(1000, 7))
        .throttle(5, 5000, 2, 0)
        .bandwidth(6, 0, 0)
        .disconnect(8)
        .bytes();
}

// Every command of a datagram that reads lies inside it, and together they are all of it.
void expectWithin(const EnetDatagram& datagram, const Bytes& bytes) {
    std::size_t covered = datagram.sentTime() ? 4 : 2;
    for (std::size_t i = 0; i < datagram.size(); ++i) {
        const EnetDatagram::Command& command = datagram[i];
        ASSERT_GE(command.fields, bytes.data());
        covered += EnetDatagram::fixedSize(command) + command.payloadSize;
        if (command.payload != nullptr) {
            ASSERT_LE(command.payload + command.payloadSize, bytes.data() + bytes.size());
        }
    }
    EXPECT_EQ(covered, bytes.size());
}

TEST(EnetDatagramTest, EveryCommandReadsBackInEitherHeaderSize) {
    for (int sentTime : {0x4321, -1}) {
        Bytes bytes = everyCommand(sentTime);
        EnetDatagram datagram;
        ASSERT_TRUE(datagram.read(bytes.data(), bytes.size()));
        EXPECT_EQ(datagram.peerId(), 0x123);
        EXPECT_EQ(datagram.session(), 2);
        EXPECT_EQ(datagram.sentTime(), sentTime >= 0);
        EXPECT_FALSE(datagram.compressed());
        ASSERT_EQ(datagram.size(), 9u);
        EXPECT_EQ(datagram[0].number, ENET_PROTOCOL_COMMAND_ACKNOWLEDGE);
        EXPECT_EQ(datagram[0].reliableSequence, 7);
        EXPECT_EQ(datagram[2].number, ENET_PROTOCOL_COMMAND_SEND_RELIABLE);
        EXPECT_EQ(datagram[2].flags, ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE);
        EXPECT_EQ(datagram[2].reliableSequence, 0xFFFE);
        EXPECT_EQ(Bytes(datagram[2].payload, datagram[2].payload + datagram[2].payloadSize),
                  (Bytes{1, 2, 3}));
        EXPECT_EQ(datagram[3].channel, 2);
        EXPECT_EQ(datagram[3].reliableSequence, 4);
        EXPECT_EQ(datagram[3].secondSequence, 0x8001);
        EXPECT_EQ(datagram[4].number, ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED);
        EXPECT_EQ(datagram[4].secondSequence, 0x7C00);
        EXPECT_EQ(datagram[4].payloadSize, 0u);
        EXPECT_EQ(datagram[5].number, ENET_PROTOCOL_COMMAND_SEND_FRAGMENT);
        EXPECT_EQ(datagram[5].secondSequence, 40);
        EXPECT_EQ(EnetDatagram::field32(datagram[5], 16), 3000u);
        EXPECT_EQ(datagram[5].payloadSize, 1000u);
        EXPECT_EQ(datagram[6].number, ENET_PROTOCOL_COMMAND_THROTTLE_CONFIGURE);
        EXPECT_EQ(datagram[8].number, ENET_PROTOCOL_COMMAND_DISCONNECT);
        expectWithin(datagram, bytes);
    }
    Bytes connect = EnetForge(EnetDatagram::kNoPeer).connect(5, 77, 3, 1400).bytes();
    EnetDatagram datagram;
    ASSERT_TRUE(datagram.read(connect.data(), connect.size()));
    EXPECT_EQ(datagram.peerId(), EnetDatagram::kNoPeer);
    EXPECT_EQ(EnetDatagram::field32(datagram[0], EnetDatagram::kConnectChannelCount), 3u);
    EXPECT_EQ(EnetDatagram::field32(datagram[0], EnetDatagram::kConnectMtu), 1400u);
    EXPECT_EQ(EnetDatagram::field32(datagram[0], 400), 0u); // past its end
}

TEST(EnetDatagramTest, CutMendedAndRandomBytesAreNeverReadPastTheirEnd) {
    std::mt19937 random(7);
    EnetDatagram datagram;
    const Bytes whole = everyCommand(0x10);
    // Cut anywhere but after a whole command: malformed.
    int wholeCuts = 0;
    for (std::size_t size = 0; size < whole.size(); ++size) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        if (datagram.read(cut.data(), cut.size())) {
            ++wholeCuts;
            expectWithin(datagram, cut);
        }
    }
    EXPECT_EQ(wholeCuts, 9); // the header alone, and after each of the first eight commands
    // A byte changed anywhere, a thousand times: read exactly, or refused.
    int mended = 0;
    for (int i = 0; i < 20000; ++i) {
        Bytes bytes = whole;
        bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        if (i % 3 == 0) {
            bytes.resize(random() % (bytes.size() + 1));
        }
        if (datagram.read(bytes.data(), bytes.size())) {
            ++mended;
            expectWithin(datagram, bytes);
        }
    }
    EXPECT_GT(mended, 0);
    // Random bytes; more commands than any sender puts in a datagram.
    for (int i = 0; i < 20000; ++i) {
        Bytes bytes(random() % 64);
        for (std::uint8_t& byte : bytes) {
            byte = static_cast<std::uint8_t>(random() % 16 < 12 ? random() % 14 : random());
        }
        if (datagram.read(bytes.data(), bytes.size())) {
            expectWithin(datagram, bytes);
        }
    }
    EnetForge many(1, 0, 0);
    for (int i = 0; i < 33; ++i) {
        many.ping(static_cast<std::uint16_t>(i));
    }
    Bytes tooMany = many.bytes();
    EXPECT_FALSE(datagram.read(tooMany.data(), tooMany.size()));
}

} // namespace
