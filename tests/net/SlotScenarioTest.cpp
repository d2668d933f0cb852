// Nobody hoards the seats: one address, and then 64 addresses of one /24, open connections and
// half-open handshakes as fast as they can for ten seconds each. A player from another address
// joins within two seconds on each of five tries, and a seated player stays seated throughout.
#include "NetPlay.h"
#include "RawPeer.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <memory>
#include <thread>

namespace {

using namespace netplay;

constexpr double kFloodSeconds = 10.0;
constexpr int kTries = 5;
constexpr double kJoinSeconds = 2.0;
constexpr std::size_t kHeld = 64; // connections each hoarder keeps open at once

// Opens connections from addresses in turn, finishing every other one and saying nothing on
// it, for seconds; a connection is dropped once kHeld newer ones are open.
class Hoarder {
public:
    Hoarder(std::uint16_t port, std::uint32_t firstAddress, std::uint32_t addresses)
        : thread([=] { run(port, firstAddress, addresses); }) {}
    ~Hoarder() {
        stopping = true;
        thread.join();
    }
    std::atomic<bool> stopping{false};
    std::atomic<int> opened{0};

private:
    void run(std::uint16_t port, std::uint32_t firstAddress, std::uint32_t addresses) {
        std::deque<std::unique_ptr<RawPeer>> held;
        const Clock::time_point start = Clock::now();
        for (std::uint32_t i = 0; !stopping && secondsSince(start) < kFloodSeconds; ++i) {
            held.push_back(std::make_unique<RawPeer>(firstAddress + i % addresses));
            const bool finish = i % 2 == 0;
            opened += held.back()->connect(port, finish, finish ? 0.005 : 0.0) ? 1 : 0;
            if (held.size() > kHeld) {
                held.pop_front();
            }
            for (auto& peer : held) {
                peer->receive(0.0);
            }
        }
    }
    std::thread thread;
};

class SlotScenarioHoardersTest : public ::testing::TestWithParam<Served> {};

// Against a duel, and a battle a spectator watches.
TEST_P(SlotScenarioHoardersTest, HoardersOfOneAddressOrOneNetworkKeepNobodyOut) {
    SharedConsole console;
    Server server(localServer(GetParam()), console.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Watched watched(GetParam(), server.port());
    Client seated(server.port());
    ASSERT_TRUE(play(watched.with({&seated}), 10.0, [&] { return seated.game.drives(); }));

    struct Flood {
        const char* name;
        std::uint32_t first;
        std::uint32_t addresses;
    };
    for (const Flood& flood :
         {Flood{"one address", 0x7F040001, 1}, Flood{"64 addresses of one /24", 0x7F050001, 64}}) {
        Hoarder hoarder(server.port(), flood.first, flood.addresses);
        const Clock::time_point began = Clock::now();
        double slowest = 0.0;
        for (int attempt = 0; attempt < kTries; ++attempt) {
            // A try every two seconds of the flood, the hoarders at it all the while.
            const double due = kFloodSeconds * (attempt + 0.5) / kTries;
            play(watched.with({&seated}), due - secondsSince(began), [] { return false; });
            auto joiner = std::make_unique<Client>(server.port());
            const Clock::time_point start = Clock::now();
            const bool joined = play(watched.with({&seated, joiner.get()}), kJoinSeconds,
                                     [&] { return joiner->game.joined(); });
            slowest = std::max(slowest, secondsSince(start));
            EXPECT_TRUE(joined) << flood.name << ", try " << attempt + 1 << ": "
                                << joiner->console.str();
            joiner->game.leave();
            EXPECT_TRUE(seated.game.drives()) << flood.name;
        }
        play(watched.with({&seated}), kFloodSeconds - secondsSince(began), [] { return false; });
        hoarder.stopping = true;
        std::printf("%s: %d connections made by the hoarders, slowest join %.2f s\n", flood.name,
                    hoarder.opened.load(), slowest);
        EXPECT_GT(hoarder.opened.load(), 0) << flood.name;
    }
    EXPECT_TRUE(seated.game.drives());
    EXPECT_TRUE(watched.stillWatching());
    EXPECT_FALSE(
        console.has("Player lost the link in seat 1: the computer drives until it is back"));
    EXPECT_FALSE(console.has("Player left seat 1: the computer takes over"));
}

INSTANTIATE_TEST_SUITE_P(DuelAndWatchedBattle, SlotScenarioHoardersTest,
                         ::testing::Values(Served::Duel, Served::WatchedBattle));

// A half-open handshake, and a connection that never says Hello, hold their peers for about two
// seconds: an address that has used up its two is let in again once they are swept away.
TEST(SlotScenarioTest, HalfOpenAndSilentConnectionsAreLetGoWithinTwoSeconds) {
    SharedConsole console;
    Server server(localServer(), console.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    constexpr double kAnswerSeconds = 0.2;
    std::uint32_t address = 0x7F070001;
    for (const bool finish : {false, true}) {
        const char* kind = finish ? "silent" : "half-open";
        std::vector<std::unique_ptr<RawPeer>> held;
        for (int i = 0; i < 2; ++i) {
            held.push_back(std::make_unique<RawPeer>(address));
            const bool verified = held.back()->connect(server.port(), finish, kAnswerSeconds);
            EXPECT_EQ(verified, finish) << kind << " connection " << i;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        RawPeer third(address);
        EXPECT_FALSE(third.connect(server.port(), true, kAnswerSeconds))
            << "a third from the address while two " << kind << " ones are held";
        std::this_thread::sleep_for(std::chrono::duration<double>(PeerSweep::kLimboSeconds));
        RawPeer later(address);
        EXPECT_TRUE(later.connect(server.port(), true, kAnswerSeconds))
            << kind << " connections were not let go";
        ++address;
    }
}

} // namespace
