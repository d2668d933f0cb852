// A server on an arena of its own: it sends the maze to two clients inside the sealed channel,
// each checks it as a local file, keeps it in its cache under its hash and plays on it, its
// own tank predicted against the maze's walls tick for tick as the server steps it. A client
// that takes no arena from a server says so in one line and leaves.
#include "NetPlay.h"
#include "assets/ArenaCache.h"
#include "assets/ArenaFile.h"
#include "assets/ArenaFolders.h"
#include "net/ServerThread.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <sstream>

namespace {

using namespace netplay;

// Where each seat's tank stood after each of the server's ticks.
class Positions : public TickObserver {
public:
    void ticked(std::uint32_t tick, const Match& match, const SeatCommands&) override {
        std::lock_guard<std::mutex> lock(mutex);
        for (int seat = 0; seat < 2; ++seat) {
            at[seat][tick] = match.tank(seat).position;
        }
    }
    bool find(int seat, std::uint32_t tick, glm::vec3& position) const {
        std::lock_guard<std::mutex> lock(mutex);
        const auto found = at[seat].find(tick);
        if (found == at[seat].end()) {
            return false;
        }
        position = found->second;
        return true;
    }

private:
    mutable std::mutex mutex;
    std::map<std::uint32_t, glm::vec3> at[2];
};

Arena maze() {
    std::ostringstream errors;
    Arena arena = ArenaFile::load(std::string(ArenaFolders::kGameFolder) + "/maze.toml", errors);
    EXPECT_EQ(errors.str(), "");
    return arena;
}

TEST(ServerArenaTest, TwoClientsPlayTheServersMazeAndKeepItUnderItsHash) {
    const Arena arena = maze();
    ASSERT_NE(arena.hash(), Arena::standard().hash());
    ServerOptions options = localServer();
    options.arena = arena;
    options.arenaFile = ArenaFile::write(arena);
    ASSERT_GT(options.arenaFile.size(), protocol::kArenaPartBytes); // more than one part
    SharedConsole console;
    Server server(options, console.stream);
    ASSERT_TRUE(server.listening());
    ASSERT_EQ(server.match().arena.hash(), arena.hash());
    Positions positions;
    server.observer = &positions;
    ServerThread running(server);

    TempDir cacheFolder;
    std::ostringstream cacheErrors;
    ArenaCache cache(cacheFolder.path() + "/arenas", cacheErrors);
    Client first(server.port(), "", protocol::kVersion, "Ada", &cache);
    Client second(server.port(), "", protocol::kVersion, "Bob", &cache);
    ASSERT_TRUE(
        play({&first, &second}, 10.0, [&] { return first.game.drives() && second.game.drives(); }))
        << first.console.str() << first.errors.str();

    const std::string line = "Arena: " + arena.byline() + ", from the server";
    for (Client* client : {&first, &second}) {
        EXPECT_EQ(client->game.arenaHash(), arena.hash());
        EXPECT_EQ(client->game.shown().arena.hash(), server.match().arena.hash());
        EXPECT_TRUE(client->said(line)) << client->console.str();
        EXPECT_EQ(client->errors.str(), "");
        // Its tank started at the maze's spawn point for its seat.
        const int seat = client->game.ownSeat();
        EXPECT_LT(glm::distance(client->game.shown().tank(seat).position,
                                arena.spawns[static_cast<std::size_t>(seat)].position),
                  3.0f);
    }
    // Kept once, under the arena's hash, and what is kept reads back to the same arena.
    const std::string kept =
        readFile(cacheFolder.path() + "/arenas/" + ArenaCache::fileName(arena.hash()));
    std::string fault;
    const std::optional<Arena> reread = ArenaFile::parse(kept, fault);
    ASSERT_TRUE(reread) << fault;
    EXPECT_EQ(reread->hash(), arena.hash());
    EXPECT_EQ(cacheErrors.str(), "");

    // Every seat taken: the third watches, on the same arena.
    Client third(server.port(), "", protocol::kVersion, "Cy", &cache, true);
    ASSERT_TRUE(play({&first, &second, &third}, 10.0, [&] { return third.game.watching(); }))
        << first.console.str() << first.errors.str() << third.console.str() << third.errors.str();
    EXPECT_EQ(third.game.arenaHash(), arena.hash());
    EXPECT_EQ(third.errors.str(), "");

    // Three seconds of driving in circles into the maze's walls: each client's own tank where it
    // predicted it is where the server stepped it, tick by tick.
    std::map<std::uint32_t, glm::vec3> predicted[2];
    const Clock::time_point start = Clock::now();
    play({&first, &second}, 3.0, [&] {
        for (int each = 0; each < 2; ++each) {
            const Client& client = each == 0 ? first : second;
            if (client.game.drives()) {
                predicted[each][client.game.clientTick()] = client.game.predictedTank().position;
            }
        }
        return false;
    });
    play({&first, &second}, 0.5, [] { return false; }); // the server steps the last of them
    int compared = 0;
    int apart = 0;
    float farthest = 0.0f;
    for (int each = 0; each < 2; ++each) {
        const int seat = (each == 0 ? first : second).game.ownSeat();
        for (const auto& [tick, position] : predicted[each]) {
            glm::vec3 stepped;
            if (positions.find(seat, tick, stepped)) {
                ++compared;
                const float error = glm::distance(position, stepped);
                farthest = std::max(farthest, error);
                apart += error > 0.01f ? 1 : 0;
            }
        }
    }
    std::printf("%.1f s on the maze: %d predicted ticks compared, %d more than 0.01 units off, "
                "the farthest %.3f units\n",
                secondsSince(start), compared, apart, farthest);
    EXPECT_GT(compared, 60);
    EXPECT_LE(apart, compared / 20);
}

TEST(ServerArenaTest, AClientThatTakesNoArenaFromAServerSaysSoAndLeaves) {
    const Arena arena = maze();
    ServerOptions options = localServer();
    options.arena = arena;
    options.arenaFile = ArenaFile::write(arena);
    SharedConsole console;
    Server server(options, console.stream);
    ASSERT_TRUE(server.listening());
    ServerThread running(server);
    Client client(server.port());
    EXPECT_TRUE(play({&client}, 5.0, [&] { return client.game.over(); }));
    EXPECT_EQ(client.console.str(), "Cannot join: this game takes no arena from a server\n");
    EXPECT_EQ(client.errors.str(), "");
    EXPECT_FALSE(client.game.joined());
}

} // namespace
