// A client whose frames take a tenth of a second sends six ticks' commands at once: its clock
// moves far enough ahead of the server's that every one of them is in time, once it has heard
// how late the first came, even though it takes in only the newest of the snapshots of a frame.
#include "NetPlay.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace {

using namespace netplay;

constexpr double kFrameSeconds = 0.1;
constexpr double kSettleSeconds = 2.0;
constexpr double kMeasureSeconds = 4.0;

TEST(SlowClientTest, SixTicksAFrameAllComeInTime) {
    SharedConsole console;
    Server server(localServer(), console.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Client slow(server.port());
    ASSERT_TRUE(play({&slow}, 10.0, [&] { return slow.game.drives(); }));
    const auto frames = [&](double seconds) {
        const Clock::time_point start = Clock::now();
        Clock::time_point last = start;
        while (secondsSince(start) < seconds) {
            std::this_thread::sleep_for(std::chrono::duration<double>(kFrameSeconds));
            slow.frame(secondsSince(last));
            last = Clock::now();
        }
    };
    frames(kSettleSeconds);
    const std::uint64_t repeatedBefore = server.counts().repeatedCommands;
    const std::uint32_t from = server.currentTick();
    frames(kMeasureSeconds);
    const std::uint64_t repeated = server.counts().repeatedCommands - repeatedBefore;
    const std::uint32_t stepped = server.currentTick() - from;
    EXPECT_TRUE(slow.game.drives());
    EXPECT_LE(repeated, static_cast<std::uint64_t>(stepped / 50));
    std::printf("%u ticks stepped, %llu of them without the slow client's command; its clock %.1f "
                "ticks ahead\n",
                stepped, static_cast<unsigned long long>(repeated),
                static_cast<double>(
                    static_cast<std::int32_t>(slow.game.clientTick() - server.currentTick())));
}

} // namespace
