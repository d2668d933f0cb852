// Nobody on the path moves a tank: with a password set, someone who sees a player's datagrams
// (the test's relay shows them) sends the server a thousand datagrams from the player's address
// and port, in its peer and session: commands of its own, unsequenced groups far ahead, the
// player's own datagrams again, changed or not. Then twenty each of ENet's DISCONNECT,
// THROTTLE_CONFIGURE and BANDWIDTH_LIMIT, to the server and to the player. The server steps the
// player's tank with the player's own commands every tick, and the player keeps its seat and
// its snapshots. Spoofing takes a raw socket: root only; elsewhere the test is skipped.
#include "EnetForge.h"
#include "LinkRelay.h"
#include "NetPlay.h"
#include "SpoofSocket.h"
#include "net/EnetDatagram.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace netplay;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kLoopback = 0x7F000001;
constexpr int kSpoofedCommands = 1000;
constexpr int kSpoofedControls = 20;
constexpr std::uint16_t kFarGroup = 31744;

// The peer, session and one command of a sniffed datagram, to pose as its sender.
struct Posed {
    std::uint16_t peer = 0;
    std::uint8_t session = 0;
    std::uint16_t group = 0;    // of its unsequenced command
    std::uint16_t reliable = 0; // of its last reliable one
    bool read(Bytes datagram) {
        EnetDatagram parsed;
        if (!parsed.read(datagram.data(), datagram.size())) {
            return false;
        }
        peer = parsed.peerId();
        session = parsed.session();
        for (std::size_t i = 0; i < parsed.size(); ++i) {
            if (parsed[i].number == ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED) {
                group = parsed[i].secondSequence;
            } else if (parsed[i].number == ENET_PROTOCOL_COMMAND_SEND_RELIABLE) {
                reliable = parsed[i].reliableSequence;
            }
        }
        return true;
    }
    EnetForge datagram() const { return EnetForge(peer, session, 0); }
};

// A command that drives the tank backwards, turning: never the player's.
Bytes wrongCommands(std::uint32_t firstTick) {
    protocol::Commands commands;
    commands.match = 1;
    commands.firstTick = firstTick;
    TankCommand wrong;
    wrong.drive = -TankCommand::kFullDrive;
    wrong.turn = 10000;
    commands.commands.assign(16, wrong);
    Bytes bytes;
    protocol::encode(commands, bytes);
    return bytes;
}

// A duel, and a battle of four with the computer in three seats.
class SpoofingTest : public ::testing::TestWithParam<Mode> {};

TEST_P(SpoofingTest, SpoofedDatagramsNeitherMoveAPlayersTankNorCostItsSeat) {
    SpoofSocket spoof;
    if (!spoof.ok()) {
        GTEST_SKIP() << "spoofing needs a raw socket, which needs root: skipped";
    }
    SharedConsole console;
    ServerOptions options = localServer("correct horse");
    options.mode = GetParam();
    options.tanks = 4;
    Server server(options, console.stream);
    ASSERT_TRUE(server.listening());
    TickCounter ticks;
    server.observer = &ticks;
    ServerThread running(server);
    LinkRelay relay(server.port(), LinkRelay::Link::clean(2.0));
    Client victim(relay.port(), "correct horse");
    // Full drive, turning one way then the other: its own commands, never the attacker's.
    const auto steer = [&] {
        victim.input.turn = (victim.game.clientTick() / 60) % 2 == 0 ? 0.5f : -0.5f;
    };
    ASSERT_TRUE(play({&victim}, 10.0, [&] { return victim.game.drives(); }));
    play({&victim}, 0.5, [] { return false; });

    std::uint32_t lastTick = victim.game.serverTick();
    Clock::time_point lastNews = Clock::now();
    double widestGap = 0.0;
    const auto watch = [&] {
        steer();
        if (victim.game.serverTick() != lastTick) {
            widestGap = std::max(widestGap, secondsSince(lastNews));
            lastTick = victim.game.serverTick();
            lastNews = Clock::now();
        }
        EXPECT_TRUE(victim.game.drives());
    };
    Clock::time_point lastFrame = Clock::now();
    const auto frame = [&] {
        victim.frame(secondsSince(lastFrame));
        lastFrame = Clock::now();
        watch();
        sleepTick();
    };
    const std::uint32_t attackFrom = server.currentTick();
    const std::uint64_t repeatedBefore = server.counts().repeatedCommands;
    int sent = 0;
    for (int round = 0; sent < kSpoofedCommands; ++round) {
        const LinkRelay::Sniffed sniffed = relay.sniffed(0);
        Posed posed;
        ASSERT_TRUE(posed.read(sniffed.up));
        const auto send = [&](const Bytes& datagram) {
            sent += spoof.send(kLoopback, sniffed.port, kLoopback, server.port(), datagram) ? 1 : 0;
        };
        const std::uint32_t tick = victim.game.clientTick();
        const Bytes wrong = wrongCommands(tick - 8);
        send(posed.datagram().unsequenced(1, posed.group + kFarGroup, wrong).bytes());
        send(posed.datagram()
                 .unsequenced(1, static_cast<std::uint16_t>(posed.group + 1 + round % 16), wrong)
                 .bytes());
        send(sniffed.up); // the player's own, again
        Bytes changed = sniffed.up;
        EnetDatagram parsed;
        if (parsed.read(changed.data(), changed.size())) {
            for (std::size_t i = 0; i < parsed.size(); ++i) {
                if (parsed[i].payloadSize > 12) {
                    parsed[i].payload[10] ^= 0x01; // a bit of the sealed commands
                }
            }
        }
        send(changed);
        send(posed.datagram()
                 .reliable(0, static_cast<std::uint16_t>(posed.reliable + 1 + round % 4), wrong)
                 .bytes());
        frame();
    }
    // ENet's commands without a payload, which no seal can cover, both ways.
    const LinkRelay::Sniffed sniffed = relay.sniffed(0);
    Posed toServer;
    Posed toPlayer;
    ASSERT_TRUE(toServer.read(sniffed.up));
    ASSERT_TRUE(toPlayer.read(sniffed.down));
    for (int i = 0; i < kSpoofedControls; ++i) {
        const auto sequence = static_cast<std::uint16_t>(1 + i);
        for (const Bytes& datagram : {toServer.datagram().disconnect(sequence).bytes(),
                                      toServer.datagram().disconnect(sequence, false).bytes(),
                                      toServer.datagram().throttle(sequence, 1, 32, 32).bytes(),
                                      toServer.datagram().bandwidth(sequence, 100, 100).bytes()}) {
            spoof.send(kLoopback, sniffed.port, kLoopback, server.port(), datagram);
        }
        for (const Bytes& datagram : {toPlayer.datagram().disconnect(sequence).bytes(),
                                      toPlayer.datagram().throttle(sequence, 1, 32, 32).bytes(),
                                      toPlayer.datagram().bandwidth(sequence, 100, 100).bytes()}) {
            spoof.send(kLoopback, relay.port(), kLoopback, victim.game.link().localPort(),
                       datagram);
        }
        frame();
    }
    play({&victim}, 3.0, [&] {
        watch();
        return false;
    });
    const std::uint32_t attackTo = server.currentTick();
    const std::uint64_t repeated = server.counts().repeatedCommands - repeatedBefore;

    EXPECT_EQ(sent, kSpoofedCommands);
    const int seat = victim.game.ownSeat();
    int steppedByThePlayer = 0;
    for (const TickCounter::Stepped& step : ticks.stepped()) {
        if (step.tick < attackFrom || step.tick > attackTo || step.drivers[seat] != Driver::Human) {
            continue;
        }
        ++steppedByThePlayer;
        EXPECT_EQ(step.commands[seat].drive, TankCommand::kFullDrive) << "tick " << step.tick;
        EXPECT_EQ(std::abs(step.commands[seat].turn), Match::kMaxTurn / 2) << "tick " << step.tick;
    }
    EXPECT_GT(steppedByThePlayer, 300);
    // And its commands kept coming: none thrown away by a window moved ahead.
    EXPECT_LE(repeated, static_cast<std::uint64_t>(steppedByThePlayer / 20));
    EXPECT_LE(widestGap, 2.0);
    EXPECT_TRUE(victim.game.joined());
    EXPECT_FALSE(console.has("Player lost the link in seat " + std::to_string(seat + 1) +
                             ": the computer drives until it is back"));
    EXPECT_FALSE(
        console.has("Player left seat " + std::to_string(seat + 1) + ": the computer takes over"));
    const ServerGate::Counts& gate = server.gateCounts();
    std::printf("%d spoofed datagrams and %d of each control: %d ticks stepped by the player "
                "(%llu repeated), widest gap between its snapshots %.0f ms; the gate dropped "
                "%llu, %llu forged\n",
                sent, kSpoofedControls, steppedByThePlayer,
                static_cast<unsigned long long>(repeated), widestGap * 1000.0,
                static_cast<unsigned long long>(gate.dropped),
                static_cast<unsigned long long>(gate.forged));
}

INSTANTIATE_TEST_SUITE_P(DuelAndBattle, SpoofingTest, ::testing::Values(Mode::Duel, Mode::Battle));

} // namespace
