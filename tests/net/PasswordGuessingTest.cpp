// Password guessing from a thousand addresses, each in a /24 of its own, four guessers at once:
// each connects, says Hello and answers the challenge wrongly. The server checks no more answers
// in any second than its budget for the whole server, a player already in stays in, and a
// player from an address that has proven itself still gets in. And strangers guessing one after
// another through the same peer slot each have that slot's budget of datagrams to themselves.
#include "EnetForge.h"
#include "NetPlay.h"
#include "RawPeer.h"
#include "net/Handshake.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

using namespace netplay;

constexpr int kAddresses = 1000;
constexpr int kGuessers = 4;
constexpr double kGuessesPerSecond = 100.0; // twice the server's budget, for ten seconds
const char* const kPassword = "correct horse";
constexpr double kGoodbyeSeconds = 0.01; // a guesser waits no longer for the server's DISCONNECT

// The password checks the server has made, tick by tick, on its own thread.
class CheckCounter : public TickObserver {
public:
    explicit CheckCounter(const Server& server) : server(server) {}
    void ticked(std::uint32_t, const Match&, const SeatCommands&) override {
        std::lock_guard<std::mutex> lock(mutex);
        samples.push_back({secondsSince(start), server.counts().passwordChecks});
    }
    // The most checks made in any stretch shorter than a second.
    std::uint64_t mostInASecond() const {
        std::lock_guard<std::mutex> lock(mutex);
        std::uint64_t most = 0;
        std::size_t from = 0;
        for (std::size_t to = 0; to < samples.size(); ++to) {
            while (samples[to].time - samples[from].time >= 1.0) {
                ++from;
            }
            most = std::max(most, samples[to].checks - samples[from].checks);
        }
        return most;
    }

private:
    struct Sample {
        double time;
        std::uint64_t checks;
    };
    const Server& server;
    Clock::time_point start = Clock::now();
    mutable std::mutex mutex;
    std::vector<Sample> samples;
};

// One wrong guess from address: connect, Hello, and a wrong answer to the challenge; then up to
// goodbyeSeconds for the server to let the connection go.
bool guess(std::uint16_t port, std::uint32_t address, double goodbyeSeconds) {
    RawPeer peer(address);
    if (!peer.connect(port, true, 0.2)) {
        return false;
    }
    protocol::Hello hello;
    hello.key = handshake::freshKeyPair().publicKey;
    std::vector<std::uint8_t> bytes;
    protocol::encode(hello, bytes);
    peer.send(peer.datagram().reliable(0, peer.nextReliable(0), bytes).bytes());
    protocol::Challenge challenge;
    for (int wait = 0; wait < 100; ++wait) {
        peer.receive(0.002);
        for (const auto& message : peer.received) {
            if (protocol::decode(message.data(), message.size(), challenge)) {
                protocol::Answer answer;
                answer.nonce = handshake::freshNonce();
                answer.mac[0] = 1;
                bytes.clear();
                protocol::encode(answer, bytes);
                peer.send(peer.datagram().reliable(0, peer.nextReliable(0), bytes).bytes());
                const Clock::time_point until =
                    Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(goodbyeSeconds));
                do {
                    peer.receive(0.002);
                } while (!peer.dismissed() && Clock::now() < until);
                return true;
            }
        }
    }
    return false;
}

// Against a duel, and a battle a spectator watches.
class PasswordGuessingTest : public ::testing::TestWithParam<Served> {};

TEST_P(PasswordGuessingTest, AThousandAddressesGetNoMoreChecksThanTheBudgetAndKeepNobodyOut) {
    SharedConsole console;
    Server server(localServer(GetParam(), kPassword), console.stream);
    ASSERT_TRUE(server.listening());
    CheckCounter checks(server);
    server.observer = &checks;
    ServerThread running(server);
    Watched watched(GetParam(), server.port(), kPassword);
    Client player(server.port(), kPassword);
    ASSERT_TRUE(play(watched.with({&player}), 10.0, [&] { return player.game.drives(); }));

    std::atomic<int> next{0};
    std::atomic<int> challenged{0};
    std::vector<std::thread> guessers;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kGuessers; ++i) {
        guessers.emplace_back([&] {
            for (int n = next++; n < kAddresses; n = next++) {
                std::this_thread::sleep_until(
                    start + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(n / kGuessesPerSecond)));
                // 127.20.0.1, 127.20.1.1, ...: a /24 each.
                const auto address = static_cast<std::uint32_t>(0x7F140001 + (n << 8));
                challenged += guess(server.port(), address, kGoodbyeSeconds) ? 1 : 0;
            }
        });
    }
    // Meanwhile, from the player's address, which has proven itself, another player comes in.
    play(watched.with({&player}), 2.0, [] { return false; });
    Client housemate(server.port(), kPassword);
    const bool housemateIn = play(watched.with({&player, &housemate}), 5.0,
                                  [&] { return housemate.game.joined() || housemate.game.over(); });
    play(watched.with({&player, &housemate}), 30.0, [&] { return next.load() >= kAddresses; });
    for (std::thread& guesser : guessers) {
        guesser.join();
    }
    play(watched.with({&player, &housemate}), 1.0, [] { return false; });

    const std::uint64_t most = checks.mostInASecond();
    const int budget = ServerGate::Limits().checks.perServer;
    EXPECT_TRUE(housemateIn);
    EXPECT_TRUE(housemate.game.joined()) << housemate.console.str();
    EXPECT_TRUE(player.game.joined());
    EXPECT_TRUE(player.game.drives());
    EXPECT_TRUE(watched.stillWatching());
    EXPECT_GT(challenged.load(), budget);
    // The housemate's own answer is checked too, outside the budget.
    EXPECT_LE(most, static_cast<std::uint64_t>(budget + 1));
    std::printf("%d addresses guessed, %d challenged, %llu answers checked in all, at most %llu "
                "in one second (budget %d); %llu refused\n",
                kAddresses, challenged.load(),
                static_cast<unsigned long long>(server.counts().passwordChecks),
                static_cast<unsigned long long>(most), budget,
                static_cast<unsigned long long>(server.counts().refused));
}

INSTANTIATE_TEST_SUITE_P(DuelAndWatchedBattle, PasswordGuessingTest,
                         ::testing::Values(Served::Duel, Served::WatchedBattle));

// ENet gives each connection the first free peer slot: guessers one after another, each waiting
// to be let go, pass through the same slot, more of them within a second than one connection's
// budget of datagrams before the keys allows, and a player takes the slot next. Each connection
// counts its own: every answer is checked and the player gets in, nothing dropped over a budget.
TEST(SlotChurnTest, StrangersOneAfterAnotherInOneSlotEachHaveTheirOwnBudget) {
    constexpr int kStrangers = 16;
    constexpr int kDatagramsPerGuess = 6; // CONNECT aside: acknowledgements, Hello, Answer
    constexpr double kWaitForGoodbyeSeconds = 0.5;
    SharedConsole console;
    Server server(localServer(kPassword), console.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    int guessed = 0;
    for (int n = 0; n < kStrangers; ++n) {
        // 127.30.0.1, 127.30.1.1, ...
        const auto address = static_cast<std::uint32_t>(0x7F1E0001 + (n << 8));
        guessed += guess(server.port(), address, kWaitForGoodbyeSeconds) ? 1 : 0;
    }

    Client newcomer(server.port(), kPassword);
    const bool in =
        play({&newcomer}, 10.0, [&] { return newcomer.game.joined() || newcomer.game.over(); });
    EXPECT_TRUE(in);
    EXPECT_TRUE(newcomer.game.joined()) << newcomer.console.str() << newcomer.errors.str();
    EXPECT_EQ(server.gateCounts().overBudget, 0u);
    // Enough went through to spend a connection's budget.
    EXPECT_GT(guessed * kDatagramsPerGuess, ServerGate::Limits().strangerDatagramsPerSecond);
    EXPECT_EQ(server.counts().passwordChecks, static_cast<std::uint64_t>(guessed + 1));
}

} // namespace
