// A stranger's worst for ten seconds while a person plays: a peer that never says Hello sends
// half a megabyte a second of whatever ENet datagrams it likes (zero-length reliable packets out
// of order on every channel, unsequenced groups far ahead, fragments that never complete) and
// opens connections it never finishes. The server ticks on, and ENet never holds more for it than
// the server allows a stranger. Against a duel, and a battle a spectator watches.
#include "StrangerFlood.h"
#include "NetPlay.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

using namespace netplay;

constexpr double kFloodSeconds = 10.0;
constexpr int kLeastTicksPerSecond = 55;

class StrangerFloodTest : public ::testing::TestWithParam<Served> {};

TEST_P(StrangerFloodTest, HalfAMegabyteASecondBeforeThePasswordNeitherSlowsTheTickNorFillsEnet) {
    SharedConsole console;
    Server server(localServer(GetParam()), console.stream);
    ASSERT_TRUE(server.listening());
    TickCounter ticks;
    server.observer = &ticks;
    ServerThread running(server);
    Watched watched(GetParam(), server.port());
    Client player(server.port());
    ASSERT_TRUE(play(watched.with({&player}), 10.0, [&] { return player.game.drives(); }));

    const long before = residentKilobytes();
    long most = before;
    const int first = static_cast<int>(std::ceil(ticks.since()));
    StrangerFlood::Settings settings;
    settings.port = server.port();
    settings.seconds = kFloodSeconds;
    StrangerFlood flood(settings);
    std::uint32_t lastTick = player.game.serverTick();
    Clock::time_point lastNews = Clock::now();
    double widestGap = 0.0;
    play(watched.with({&player}), kFloodSeconds + 5.0, [&] {
        if (player.game.serverTick() != lastTick) {
            widestGap = std::max(widestGap, secondsSince(lastNews));
            lastTick = player.game.serverTick();
            lastNews = Clock::now();
        }
        most = std::max(most, residentKilobytes());
        return flood.done();
    });
    const int last = static_cast<int>(std::floor(ticks.since()));

    ASSERT_TRUE(flood.done());
    const std::vector<int> perSecond = ticks.perSecond(first, last);
    ASSERT_GE(perSecond.size(), 9u);
    int worst = 1000;
    for (std::size_t second = 0; second < perSecond.size(); ++second) {
        EXPECT_GE(perSecond[second], kLeastTicksPerSecond) << "second " << second;
        worst = std::min(worst, perSecond[second]);
    }
    const ServerCounts& counts = server.counts();
    const ServerGate::Counts& gate = server.gateCounts();
    EXPECT_LE(counts.strangerCommandsMost, Server::kMostStrangerCommands);
    EXPECT_LE(counts.strangerBytesMost, Server::kMostStrangerBytes);
    EXPECT_GE(static_cast<double>(flood.bytesSent()),
              0.8 * settings.bytesPerSecond * kFloodSeconds);
    EXPECT_GT(flood.connections(), 3);
    EXPECT_GT(gate.dropped + gate.overBudget, flood.datagramsSent() / 2);
    EXPECT_TRUE(player.game.drives());
    EXPECT_TRUE(watched.stillWatching());
    EXPECT_FALSE(
        console.has("Player lost the link in seat 1: the computer drives until it is back"));
    std::printf("flood: %.1f MB in %llu datagrams, %d connections; worst second %d ticks, widest "
                "gap between snapshots %.0f ms; the gate dropped %llu and %llu over budget; ENet "
                "held at most %zu commands and %zu bytes for a stranger; resident memory %ld kB "
                "before, %ld kB at most\n",
                static_cast<double>(flood.bytesSent()) / 1e6,
                static_cast<unsigned long long>(flood.datagramsSent()), flood.connections(), worst,
                widestGap * 1000.0, static_cast<unsigned long long>(gate.dropped),
                static_cast<unsigned long long>(gate.overBudget), counts.strangerCommandsMost,
                counts.strangerBytesMost, before, most);
}

INSTANTIATE_TEST_SUITE_P(DuelAndWatchedBattle, StrangerFloodTest,
                         ::testing::Values(Served::Duel, Served::WatchedBattle));

} // namespace
