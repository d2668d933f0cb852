// A server facing what the internet sends it: clients it did not invite, a flood of junk
// datagrams and malformed messages from a client it let in, and players who leave, politely or
// by vanishing. Real servers and clients on loopback, in real time.
#include "HandClient.h"
#include "NetPlay.h"
#include "client/NetworkGame.h"
#include "net/Server.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <streambuf>
#include <thread>

namespace {

using namespace netplay;

TEST(ServerDefenceTest, OnlyTheInvitedGetInAndEachRefusedClientHearsWhy) {
    SharedConsole serverConsole;
    ServerOptions options = localServer("correct horse");
    options.spectators = 0; // a third finds no room to watch either
    Server server(options, serverConsole.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Client first(server.port(), "correct horse");
    Client wrong(server.port(), "battery staple");
    Client future(server.port(), "correct horse", protocol::kVersion + 1);
    std::vector<Client*> all{&first, &wrong, &future};
    ASSERT_TRUE(play(
        all, 10.0, [&] { return first.game.joined() && wrong.game.over() && future.game.over(); }));
    Client second(server.port(), "correct horse");
    all.push_back(&second);
    ASSERT_TRUE(play(all, 10.0, [&] { return second.game.joined(); }));
    Client third(server.port(), "correct horse");
    all.push_back(&third);
    ASSERT_TRUE(play(all, 10.0, [&] { return third.game.over(); }));

    const std::string mismatch = "Version mismatch: server " + std::to_string(protocol::kVersion) +
                                 ", client " + std::to_string(protocol::kVersion + 1);
    EXPECT_TRUE(first.said("Connected to 127.0.0.1:" + std::to_string(server.port())));
    EXPECT_TRUE(wrong.said("Wrong password")) << wrong.console.str();
    EXPECT_TRUE(future.said(mismatch)) << future.console.str();
    EXPECT_TRUE(serverConsole.has(mismatch));
    EXPECT_TRUE(third.said("Server full")) << third.console.str();
    EXPECT_EQ(server.players(), 2);
    EXPECT_EQ(serverConsole.count("Player joined seat 1"), 1);
    EXPECT_EQ(serverConsole.count("Player joined seat 2"), 1);
}

// The attack: junk UDP datagrams up to 65,000 bytes at 2,000 a second straight at the server's
// port, and from a client that joined properly (keys and all), malformed messages of every kind
// on every channel, sealed and plain, some longer than a server takes, some in fragments.
void attack(std::uint16_t port, std::atomic<bool>& done, std::atomic<int>& sent) {
    std::mt19937 random(99);
    const int junk = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    server.sin_port = htons(port);

    HandClient client(port);
    client.join(5.0);
    std::vector<std::uint8_t> bytes;
    protocol::encode(protocol::Ready{0}, bytes);
    client.sendSealed(protocol::kControl, NetHost::Delivery::Reliable, bytes);

    // First the junk, then the messages: a socket buffer full of junk would lose the messages
    // before the server saw them.
    constexpr int kDatagrams = 10000;
    constexpr int kMessages = 10000;
    std::vector<std::uint8_t> datagram(65000);
    Clock::time_point start = Clock::now();
    for (int i = 0; i < kDatagrams; ++i) {
        const std::size_t size = i % 4 == 0 ? datagram.size() : random() % 1500;
        for (std::size_t b = 0; b < size; b += 97) {
            datagram[b] = static_cast<std::uint8_t>(random());
        }
        sendto(junk, datagram.data(), size, 0, reinterpret_cast<sockaddr*>(&server), sizeof server);
        client.service();
        ++sent;
        // 2,000 a second.
        std::this_thread::sleep_until(start + std::chrono::microseconds(500) * (i + 1));
    }
    start = Clock::now();
    for (int i = 0; i < kMessages; ++i) {
        // A kind byte and anything after it: cut short, too long, out of range. Most sealed, as
        // only a client with the keys can; every tenth plain, which the gate drops; every
        // fiftieth larger than a server takes, in fragments.
        const bool oversized = i % 50 == 0;
        bytes.assign(oversized ? 5000 : 1 + random() % 300, 0);
        for (std::uint8_t& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        bytes[0] = static_cast<std::uint8_t>(random() % 12);
        const auto channel = static_cast<std::uint8_t>(random() % protocol::kChannelCount);
        if (oversized) {
            client.sendPlain(channel, ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT, bytes);
        } else if (i % 10 == 3) {
            client.sendPlain(channel, i % 20 == 3 ? ENET_PACKET_FLAG_UNSEQUENCED : 0, bytes);
        } else if (i % 10 == 1) {
            client.sendSealed(protocol::kControl, NetHost::Delivery::Reliable, bytes);
        } else {
            client.sendSealed(
                channel,
                i % 2 == 1 ? NetHost::Delivery::Unsequenced : NetHost::Delivery::Unreliable, bytes);
        }
        client.service();
        ++sent;
        std::this_thread::sleep_until(start + std::chrono::microseconds(500) * (i + 1));
    }
    // Long enough for the last of them to arrive.
    for (int i = 0; i < 50; ++i) {
        client.service();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    client.leave();
    close(junk);
    done = true;
}

// A duel, and a battle of four with the computer in three seats.
class JunkFloodTest : public ::testing::TestWithParam<Mode> {};

TEST_P(JunkFloodTest, AFloodOfJunkNeitherStopsTheMatchNorGrowsTheServer) {
    SharedConsole serverConsole;
    ServerOptions options = localServer();
    options.mode = GetParam();
    options.tanks = 4;
    Server server(options, serverConsole.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Client player(server.port());
    ASSERT_TRUE(play({&player}, 10.0, [&] { return player.game.joined(); }));

    const long before = residentKilobytes();
    long most = before;
    std::atomic<bool> done{false};
    std::atomic<int> sent{0};
    std::thread attacker(attack, server.port(), std::ref(done), std::ref(sent));
    ASSERT_TRUE(play({&player}, 10.0, [&] { return server.phase() == protocol::Phase::Playing; }))
        << "the match did not start";
    const std::uint32_t matchTick = server.match().state.tick;
    const std::uint32_t serverTick = server.currentTick();
    const Clock::time_point start = Clock::now();
    play({&player}, 30.0, [&] {
        most = std::max(most, residentKilobytes());
        return done.load();
    });
    attacker.join();
    const double seconds = secondsSince(start);

    // The match went on at the server's pace, and the player still saw it.
    EXPECT_EQ(sent.load(), 20000);
    EXPECT_EQ(server.phase(), protocol::Phase::Playing);
    EXPECT_GT(server.currentTick() - serverTick, static_cast<std::uint32_t>(55.0 * seconds));
    EXPECT_GT(server.match().state.tick - matchTick, static_cast<std::uint32_t>(55.0 * seconds));
    EXPECT_TRUE(player.game.drives());
    EXPECT_GT(glm::length(player.game.shown().tank(0).position - glm::vec3(0, 0.05f, 5.0f)), 1.0f);
    const ServerCounts& counts = server.counts();
    const ServerGate::Counts& gate = server.gateCounts();
    const std::uint64_t dropped = counts.malformed + gate.dropped + gate.forged + gate.overBudget;
    EXPECT_GT(dropped, 9000u);
    std::printf("flood over %.1f s: %llu malformed messages dropped, %llu datagrams dropped at the "
                "gate (%llu forged, %llu over budget), %llu ENet errors counted, resident memory "
                "%ld kB before, %ld kB at most\n",
                seconds, static_cast<unsigned long long>(counts.malformed),
                static_cast<unsigned long long>(gate.dropped),
                static_cast<unsigned long long>(gate.forged),
                static_cast<unsigned long long>(gate.overBudget),
                static_cast<unsigned long long>(counts.serviceErrors), before, most);
#if defined(__SANITIZE_ADDRESS__)
    std::printf("resident memory not held to 2 MB: the sanitizers keep memory of their own\n");
#else
    EXPECT_LE(most - before, 2048) << "kB";
#endif
}

INSTANTIATE_TEST_SUITE_P(DuelAndBattle, JunkFloodTest, ::testing::Values(Mode::Duel, Mode::Battle));

TEST(ServerDefenceTest, ALeavingPlayersTankGoesToTheComputerAndTheMatchGoesOn) {
    SharedConsole serverConsole;
    Server server(localServer(), serverConsole.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Client first(server.port());
    auto second = std::make_unique<Client>(server.port());
    ASSERT_TRUE(play({&first, second.get()}, 10.0, [&] { return server.players() == 2; }));
    ASSERT_TRUE(play({&first, second.get()}, 10.0,
                     [&] { return first.game.drives() && second->game.drives(); }));
    ASSERT_EQ(server.match().seat(0).driver, Driver::Human);
    ASSERT_EQ(server.match().seat(1).driver, Driver::Human);

    // Quitting: the server hears it at once.
    Clock::time_point start = Clock::now();
    second->game.leave();
    ASSERT_TRUE(play({&first}, 5.0, [&] {
        return serverConsole.has("Player left seat 2: the computer takes over");
    }));
    const double quit = secondsSince(start);
    EXPECT_LE(quit, 1.0);
    EXPECT_EQ(server.match().seat(1).driver, Driver::Computer);
    EXPECT_EQ(server.phase(), protocol::Phase::Playing);

    // Back in, and gone without a word (killed, unplugged): within a second and a bit the
    // computer has the seat, which is held for the player's return, and the match goes on.
    second = std::make_unique<Client>(server.port());
    ASSERT_TRUE(play({&first, second.get()}, 10.0, [&] { return second->game.joined(); }));
    start = Clock::now();
    const std::uint32_t matchTick = server.match().state.tick;
    ASSERT_TRUE(play({&first}, 5.0, [&] {
        return serverConsole.has(
            "Player lost the link in seat 2: the computer drives until it is back");
    }));
    const double vanished = secondsSince(start);
    EXPECT_GE(vanished, Server::kLinkLostSeconds);
    EXPECT_LE(vanished, Server::kLinkLostSeconds + 0.5);
    play({&first}, 1.0, [] { return false; });
    EXPECT_EQ(server.match().seat(1).driver, Driver::Computer);
    EXPECT_EQ(server.phase(), protocol::Phase::Playing);
    EXPECT_GT(server.match().state.tick - matchTick, 100u);
    EXPECT_TRUE(first.game.drives());
    EXPECT_EQ(serverConsole.count("Player left seat 2: the computer takes over"), 1);
    std::printf("quit heard after %.2f s, a silent player's seat held after %.2f s\n", quit,
                vanished);
}

TEST(ServerDefenceTest, AServerThatStopsTellsItsPlayersWhoDoNotTryToComeBack) {
    SharedConsole serverConsole;
    auto server = std::make_unique<Server>(localServer("correct horse"), serverConsole.stream);
    ASSERT_TRUE(server->listening());
    auto running = std::make_unique<ServerThread>(*server);
    Client player(server->port(), "correct horse");
    ASSERT_TRUE(play({&player}, 10.0, [&] { return player.game.drives(); }));
    running.reset();
    server.reset();
    const Clock::time_point stopped = Clock::now();
    ASSERT_TRUE(play({&player}, 5.0, [&] { return player.game.over(); }));
    EXPECT_LT(secondsSince(stopped), ClientConnection::kQuietSeconds);
    EXPECT_TRUE(player.said("Connection lost"));
    EXPECT_FALSE(player.said("Connection lost: reconnecting"));
    EXPECT_EQ(player.errors.str(), "");
}

TEST(ServerDefenceTest, AnAddressGetsAsManySeatsAsTheServerAllowsIt) {
    SharedConsole serverConsole;
    ServerOptions options = localServer();
    options.playersPerAddress = 1;
    Server server(options, serverConsole.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Client first(server.port());
    ASSERT_TRUE(play({&first}, 10.0, [&] { return first.game.joined(); }));
    Client second(server.port());
    ASSERT_TRUE(play({&first, &second}, 10.0, [&] { return second.game.over(); }));
    EXPECT_TRUE(second.said("Too many players from this address")) << second.console.str();
    EXPECT_TRUE(first.game.joined());
    EXPECT_EQ(server.players(), 1);
}

// Spectators count as players: with both seats taken, one address gets as many of each
// together as the server allows it. A silent spectator goes.
TEST(ServerDefenceTest, AnAddressWatchesOnlyWithinItsShareOfPlayers) {
    SharedConsole serverConsole;
    ServerOptions options = localServer();
    options.playersPerAddress = 3;
    Server server(options, serverConsole.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Client first(server.port());
    Client second(server.port());
    ASSERT_TRUE(
        play({&first, &second}, 10.0, [&] { return first.game.joined() && second.game.joined(); }));
    Client watcher(server.port());
    ASSERT_TRUE(play({&first, &second, &watcher}, 10.0, [&] { return watcher.game.joined(); }));
    EXPECT_TRUE(watcher.game.watching());
    Client fourth(server.port());
    ASSERT_TRUE(
        play({&first, &second, &watcher, &fourth}, 10.0, [&] { return fourth.game.over(); }));
    EXPECT_TRUE(fourth.said("Too many players from this address")) << fourth.console.str();
    EXPECT_TRUE(watcher.game.watching());
    EXPECT_EQ(server.players(), 2);
    EXPECT_EQ(server.spectators(), 1);

    // A spectator that falls silent is let go as a player would be, and nothing is kept for it.
    EXPECT_TRUE(play({&first, &second}, Server::kLinkLostSeconds + 2.0,
                     [&] { return server.spectators() == 0; }));
    EXPECT_TRUE(serverConsole.has("Spectator left"));
    EXPECT_EQ(server.players(), 2);
}

} // namespace
