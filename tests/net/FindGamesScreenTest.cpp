// The title's "Find games" screen played like a player: G on the title, the list filling from a
// real server on the game's own ports, a choice made and ENTER, and the player in the game.
#include "client/GameClient.h"
#include "net/Server.h"
#include "net/ServerThread.h"
#include "platform/Keys.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr auto kTick = std::chrono::microseconds(16667);

void tap(InputState& input, int key) {
    input.keyEvent(key, KeyAction::Press);
    input.keyEvent(key, KeyAction::Release);
}

// A server on the first free port the screen asks at, named name.
std::unique_ptr<Server> serveOnTheGamesPorts(const std::string& name, std::ostream& console) {
    ServerOptions options;
    options.name = name;
    options.mode = Mode::Battle;
    options.tanks = 3;
    for (int port = 0; port < LanFinder::kPortsProbed; ++port) {
        options.port = static_cast<std::uint16_t>(protocol::kDefaultPort + port);
        auto server = std::make_unique<Server>(options, console);
        if (server->listening()) {
            return server;
        }
    }
    return nullptr;
}

// Ticks at 60 Hz until done() or ticks run out; false then.
template <typename Done>
bool tickUntil(GameClient& client, InputState& input, int ticks, Done done) {
    for (int i = 0; i < ticks; ++i) {
        client.tick(input);
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(kTick);
    }
    return false;
}

bool lists(const GameClient& client, const std::string& name) {
    for (const LanFinder::Found& game : client.games.games()) {
        if (name == game.about.name.data()) {
            return true;
        }
    }
    return false;
}

TEST(FindGamesScreenTest, GListsTheServersAroundAndEnterJoinsTheChosenOne) {
    std::ostringstream firstConsole;
    std::ostringstream secondConsole;
    std::unique_ptr<Server> first = serveOnTheGamesPorts("First", firstConsole);
    std::unique_ptr<Server> second = serveOnTheGamesPorts("Second", secondConsole);
    ASSERT_TRUE(first && second);
    ServerThread firstRunning(*first);
    ServerThread secondRunning(*second);

    GameClient client(3u, nullptr, nullptr);
    InputState input;
    client.tick(input);
    ASSERT_TRUE(client.showingTitle());
    tap(input, keys::kG);
    client.tick(input);
    ASSERT_TRUE(client.games.shown());
    ASSERT_TRUE(tickUntil(client, input, 60, [&] {
        return lists(client, "First") && lists(client, "Second");
    })) << "both found within a second";

    // ESC goes back to the title, not out of the game; G there opens the screen again.
    tap(input, keys::kEscape);
    client.tick(input);
    EXPECT_FALSE(client.games.shown());
    EXPECT_FALSE(client.quitRequested());
    EXPECT_TRUE(client.showingTitle());
    tap(input, keys::kG);
    client.tick(input);
    ASSERT_TRUE(client.games.shown());
    ASSERT_TRUE(tickUntil(client, input, 60, [&] { return client.games.games().size() >= 2; }));
    // ENTER there starts no match of its own.
    EXPECT_TRUE(client.showingTitle());

    // The server named Second chosen, and in.
    int wanted = -1;
    for (std::size_t i = 0; i < client.games.games().size(); ++i) {
        if (std::string(client.games.games()[i].about.name.data()) == "Second") {
            wanted = static_cast<int>(i);
        }
    }
    ASSERT_GE(wanted, 0);
    // Down past the end stays on the last line; up to the one wanted.
    const int last = static_cast<int>(client.games.games().size()) - 1;
    for (int i = 0; i <= last + 1; ++i) {
        tap(input, keys::kDown);
        client.tick(input);
    }
    EXPECT_EQ(client.games.selected(), last);
    while (client.games.selected() > wanted) {
        tap(input, keys::kUp);
        client.tick(input);
    }
    ASSERT_EQ(client.games.selected(), wanted);
    tap(input, keys::kEnter);
    client.tick(input);
    EXPECT_FALSE(client.games.shown());
    ASSERT_TRUE(client.networked());
    ASSERT_TRUE(tickUntil(client, input, 600, [&] { return client.seatsLine()[0] == 'S'; }))
        << client.seatsLine();
    EXPECT_STREQ(client.seatsLine(), "Seat 1 of 3   1 players, 2 computer tanks");
    client.finish();
    EXPECT_NE(secondConsole.str().find("Player joined seat 1"), std::string::npos);
    EXPECT_EQ(firstConsole.str().find("Player joined"), std::string::npos);
}

} // namespace
