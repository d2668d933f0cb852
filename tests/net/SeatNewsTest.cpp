// What a joined player reads in the window's message feed as others come and go: a real server
// and two games on loopback, in real time.
#include "client/GameClient.h"
#include "net/Server.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::microseconds(16667);

struct Player {
    explicit Player(std::uint16_t port) : client(9u, nullptr, nullptr) {
        NetworkOptions options;
        options.port = port;
        client.join(options, console);
    }
    // Whether the feed shows the line now.
    bool reads(const std::string& line) const {
        for (std::size_t row = 0; row < client.feed.size(); ++row) {
            if (client.feed.text(row) == line) {
                return true;
            }
        }
        return false;
    }
    std::ostringstream console;
    GameClient client;
    InputState input;
};

// Ticks every player at 60 Hz until done() or seconds pass; false on the timeout.
template <typename Done> bool play(std::vector<Player*> players, double seconds, Done done) {
    const Clock::time_point until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(seconds));
    while (Clock::now() < until) {
        for (Player* player : players) {
            player->client.tick(player->input);
        }
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(kTick);
    }
    return false;
}

TEST(SeatNewsTest, TheFeedSaysWhoJoinedAndWhoLeftTheirSeatToTheComputer) {
    std::ostringstream serverConsole;
    ServerOptions options;
    options.port = 0;
    Server server(options, serverConsole);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);

    Player first(server.port());
    ASSERT_TRUE(play({&first}, 10.0, [&] { return first.client.seatsLine()[0] == 'S'; }));
    EXPECT_TRUE(first.reads("Connected to 127.0.0.1:" + std::to_string(server.port())))
        << "the connection's own line, as on the console";
    EXPECT_EQ(first.console.str(), "Connected to 127.0.0.1:" + std::to_string(server.port()) + "\n")
        << "the console keeps its lines as they were";

    auto second = std::make_unique<Player>(server.port());
    ASSERT_TRUE(
        play({&first, second.get()}, 10.0, [&] { return first.reads("Player joined seat 2"); }));
    EXPECT_FALSE(second->reads("Player joined seat 1")) << "who was there before is no news";

    second->client.finish(); // quits: the server hears it at once
    second.reset();
    ASSERT_TRUE(play({&first}, 5.0,
                     [&] { return first.reads("Player left seat 2: the computer takes over"); }));
    EXPECT_EQ(first.console.str().find("Player left"), std::string::npos)
        << "news the client makes for itself goes to the window only";
}

} // namespace
