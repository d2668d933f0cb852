// A lost link does not cost the seat: the test's relay cuts a seated player's link in a match.
// Cut for two seconds, the player is back in its seat with its tank within four, the screen
// having said "Reconnecting..." meanwhile. Cut for good, the seat is gone after twelve, and the
// client says so on standard error and on its title screen. Against a duel, and a battle a
// spectator watches (over a link of its own) all the while. Over a slow link, where a
// reconnection takes longer than the client waits between attempts, the seat comes back too.
#include "LinkRelay.h"
#include "NetPlay.h"
#include "client/GameClient.h"
#include "net/ServerThread.h"
#include "platform/Keys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

using namespace netplay;

constexpr double kShortCutSeconds = 2.0;
constexpr double kBackWithinSeconds = 4.0;
constexpr double kGoneAfterSeconds = 12.0;

constexpr double kDelayMs = 5.0; // each way

struct Player {
    Player(std::uint16_t port, Watched& watched) : client(17, nullptr, nullptr), watched(watched) {
        NetworkOptions options;
        options.port = port;
        options.password = "correct horse";
        client.join(options, console, errors);
        input.keyEvent(keys::kW, KeyAction::Press);
    }
    // Ticks at 60 Hz for seconds or until done(), ENTER tapped on the screens between matches;
    // whether done() came.
    template <typename Done> bool tick(double seconds, Done done) {
        const Clock::time_point until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                           std::chrono::duration<double>(seconds));
        while (Clock::now() < until) {
            if (client.networked() && client.network->joined() && !client.network->drives() &&
                !client.network->ready()) {
                input.keyEvent(keys::kEnter, KeyAction::Press);
                input.keyEvent(keys::kEnter, KeyAction::Release);
            }
            client.tick(input);
            if (watched.watcher) {
                watched.watcher->tick();
            }
            reconnectingShown =
                reconnectingShown || std::strcmp(client.seatsLine(), "Reconnecting...") == 0;
            if (done()) {
                return true;
            }
            sleepTick();
        }
        return false;
    }
    std::ostringstream console;
    std::ostringstream errors;
    GameClient client;
    InputState input;
    Watched& watched;
    bool reconnectingShown = false;
};

class LostLinkTest : public ::testing::TestWithParam<Served> {};

TEST_P(LostLinkTest, ACutLinkGetsItsSeatBackWithinSecondsAndLosesItAfterTen) {
    SharedConsole serverConsole;
    Server server(localServer(GetParam(), "correct horse"), serverConsole.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    LinkRelay relay(server.port(), LinkRelay::Link::clean(kDelayMs));
    Watched watched(GetParam(), server.port(), "correct horse");
    Player player(relay.port(), watched);
    ASSERT_TRUE(player.tick(
        10.0, [&] { return player.client.networked() && player.client.network->drives(); }));
    const int seat = player.client.localSeat();
    const std::string seatName = std::to_string(seat + 1);
    player.tick(1.0, [] { return false; });

    // Cut for two seconds: back within four, in the same seat, driving its own tank again.
    relay.cut(true);
    const Clock::time_point cut = Clock::now();
    player.tick(kShortCutSeconds, [] { return false; });
    relay.cut(false);
    const bool back = player.tick(kBackWithinSeconds - kShortCutSeconds, [&] {
        return player.client.networked() && player.client.network->joined() &&
               player.client.network->drives();
    });
    const double away = secondsSince(cut);
    ASSERT_TRUE(back) << player.console.str() << player.errors.str();
    EXPECT_LE(away, kBackWithinSeconds);
    EXPECT_EQ(player.client.localSeat(), seat);
    EXPECT_TRUE(player.reconnectingShown);
    EXPECT_TRUE(serverConsole.has("Player lost the link in seat " + seatName +
                                  ": the computer drives until it is back"));
    EXPECT_TRUE(serverConsole.has("Player back in seat " + seatName));
    EXPECT_FALSE(serverConsole.has("Player left seat " + seatName + ": the computer takes over"));
    EXPECT_NE(player.console.str().find("Connection lost: reconnecting\n"), std::string::npos);
    EXPECT_NE(player.console.str().find("Reconnected to 127.0.0.1:"), std::string::npos);
    // Its tank, where the computer left it: the client's prediction meets the server's.
    player.tick(1.0, [] { return false; });
    const glm::vec3 shown = player.client.network->predictedTank().position;
    EXPECT_EQ(server.match().seat(seat).driver, Driver::Human);
    EXPECT_LT(glm::length(shown - server.match().tank(seat).position), 1.0f);
    std::printf("back in seat %d %.2f s after the cut\n", seat + 1, away);

    // Cut for good: the seat is gone after twelve seconds, and the client says so.
    relay.cut(true);
    const Clock::time_point lost = Clock::now();
    player.tick(kGoneAfterSeconds, [] { return false; });
    EXPECT_GE(secondsSince(lost), kGoneAfterSeconds);
    EXPECT_FALSE(player.client.networked());
    EXPECT_TRUE(player.client.showingTitle());
    EXPECT_STREQ(player.client.seatsLine(), ClientConnection::kSeatLostLine);
    EXPECT_EQ(player.errors.str(), std::string(ClientConnection::kSeatLostLine) + "\n");
    EXPECT_TRUE(serverConsole.has("Player left seat " + seatName + ": the computer takes over"));
    EXPECT_EQ(server.match().seat(seat).driver, Driver::Computer);
    EXPECT_TRUE(watched.stillWatching());
}

INSTANTIATE_TEST_SUITE_P(DuelAndWatchedBattle, LostLinkTest,
                         ::testing::Values(Served::Duel, Served::WatchedBattle));

// Over a link of 300 ms each way a reconnection's handshake takes some four round trips, longer
// than the client waits between attempts: the attempt that has its connection is kept, rather
// than given up for a new one that would never finish either, and the seat comes back.
TEST(SlowLinkTest, OverASlowLinkTheSeatComesBackThoughTheHandshakeOutlastsTheRetry) {
    constexpr double kSlowDelayMs = 300.0;
    constexpr double kSlowBackWithinSeconds = 8.0; // of the link's mending
    SharedConsole serverConsole;
    Server server(localServer("correct horse"), serverConsole.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    LinkRelay relay(server.port(), LinkRelay::Link::clean(kSlowDelayMs));
    Client player(relay.port(), "correct horse");
    ASSERT_TRUE(play({&player}, 10.0, [&] { return player.game.drives(); }))
        << player.console.str() << player.errors.str();

    relay.cut(true);
    play({&player}, kShortCutSeconds, [] { return false; });
    relay.cut(false);
    const bool back = play({&player}, kSlowBackWithinSeconds,
                           [&] { return player.game.joined() && player.game.drives(); });
    EXPECT_TRUE(back) << player.console.str() << player.errors.str();
    EXPECT_TRUE(serverConsole.has("Player back in seat 1")) << serverConsole.text();
    EXPECT_EQ(player.errors.str(), "");
}

} // namespace
