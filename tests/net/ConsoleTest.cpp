// The console never holds up the server: the real brakkel-server, its standard output a pipe
// that is already full and never read, keeps sixty ticks a second while a player plays and
// strangers of another version fill its console with lines; with its standard output a pipe
// nobody reads any more, it neither dies nor stops serving. Either way it stops on SIGTERM.
#include "EnetForge.h"
#include "NetPlay.h"
#include "RawPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

extern char** environ;

namespace {

using namespace netplay;

constexpr double kPlaySeconds = 5.0;
constexpr int kLeastTicksPerSecond = 55;
constexpr int kStrangersPerSecond = 20;

std::uint16_t freePort() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

// The dedicated server on port serving served, its standard output console, its standard error
// discarded.
pid_t startServer(std::uint16_t port, int console, Served served) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, console, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string portText = std::to_string(port);
    const ServerOptions options = localServer(served);
    const std::string tanks = std::to_string(options.tanks);
    const bool battle = options.mode == Mode::Battle;
    // A duel's arguments end after the port.
    char* const argv[] = {const_cast<char*>(BRAKKEL_SERVER_BINARY),
                          const_cast<char*>("--port"),
                          const_cast<char*>(portText.c_str()),
                          const_cast<char*>(battle ? "--mode" : nullptr),
                          const_cast<char*>("battle"),
                          const_cast<char*>("--tanks"),
                          const_cast<char*>(tanks.c_str()),
                          nullptr};
    pid_t pid = -1;
    posix_spawn(&pid, BRAKKEL_SERVER_BINARY, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// SIGTERM, and the exit status it ends with within seconds; -1 if it has not ended.
int stopServer(pid_t pid, double seconds) {
    kill(pid, SIGTERM);
    const Clock::time_point start = Clock::now();
    int status = 0;
    while (secondsSince(start) < seconds) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

bool running(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

// A stranger of another version from address: one more console line for the server.
void knock(std::uint16_t port, std::uint32_t address) {
    RawPeer peer(address);
    if (peer.connect(port, true, 0.05)) {
        protocol::Hello hello;
        hello.version = protocol::kVersion + 7;
        std::vector<std::uint8_t> bytes;
        protocol::encode(hello, bytes);
        peer.send(peer.datagram().reliable(0, peer.nextReliable(0), bytes).bytes());
    }
}

// Plays for seconds, strangers knocking, and counts the server's ticks in each second as the
// player's snapshots tell them; the spectator watched plays along.
std::vector<std::uint32_t> playAndCount(Client& player, Watched& watched, std::uint16_t port,
                                        double seconds) {
    std::vector<std::uint32_t> perSecond;
    std::uint32_t knocks = 0;
    const Clock::time_point start = Clock::now();
    std::uint32_t lastTick = player.game.serverTick();
    for (int second = 1; second <= static_cast<int>(seconds); ++second) {
        play(watched.with({&player}), second - secondsSince(start), [&] {
            if (secondsSince(start) * kStrangersPerSecond > knocks) {
                knock(port, 0x7F060001 + (knocks++ << 8));
            }
            return false;
        });
        perSecond.push_back(player.game.serverTick() - lastTick);
        lastTick = player.game.serverTick();
    }
    return perSecond;
}

// Against a duel, and a battle a spectator watches.
class ConsoleTest : public ::testing::TestWithParam<Served> {};

TEST_P(ConsoleTest, AFullConsoleNeitherStopsNorSlowsTheServer) {
    int console[2];
    ASSERT_EQ(pipe(console), 0);
    // The smallest pipe, filled before the server starts: its first line already waits.
    fcntl(console[1], F_SETPIPE_SZ, 4096);
    fcntl(console[1], F_SETFL, O_NONBLOCK);
    const std::vector<char> filler(4096, 'x');
    while (write(console[1], filler.data(), filler.size()) > 0) {
    }
    fcntl(console[1], F_SETFL, 0);
    const std::uint16_t port = freePort();
    const pid_t server = startServer(port, console[1], GetParam());
    close(console[1]);
    ASSERT_GT(server, 0);

    Watched watched(GetParam(), port);
    Client player(port);
    player.input.fire = true;
    EXPECT_TRUE(play(watched.with({&player}), 10.0, [&] { return player.game.drives(); }));
    const std::vector<std::uint32_t> ticks = playAndCount(player, watched, port, kPlaySeconds);
    std::uint32_t total = 0;
    for (std::size_t second = 0; second < ticks.size(); ++second) {
        EXPECT_GE(ticks[second], static_cast<std::uint32_t>(kLeastTicksPerSecond))
            << "second " << second;
        total += ticks[second];
    }
    EXPECT_TRUE(player.game.drives());
    EXPECT_TRUE(watched.stillWatching());
    EXPECT_EQ(stopServer(server, 5.0), 0);
    close(console[0]);
    std::printf("console full from the start: %u ticks in %.0f s\n", total, kPlaySeconds);
}

TEST_P(ConsoleTest, AClosedConsoleNeitherKillsTheServerNorKeepsItFromPlaying) {
    int console[2];
    ASSERT_EQ(pipe(console), 0);
    close(console[0]); // nobody will read it
    const std::uint16_t port = freePort();
    const pid_t server = startServer(port, console[1], GetParam());
    close(console[1]);
    ASSERT_GT(server, 0);

    Watched watched(GetParam(), port);
    Client player(port);
    player.input.fire = true;
    EXPECT_TRUE(play(watched.with({&player}), 10.0, [&] { return player.game.drives(); }));
    const std::vector<std::uint32_t> ticks = playAndCount(player, watched, port, kPlaySeconds / 2);
    EXPECT_TRUE(running(server));
    EXPECT_TRUE(player.game.drives());
    EXPECT_TRUE(watched.stillWatching());
    for (std::uint32_t second : ticks) {
        EXPECT_GE(second, static_cast<std::uint32_t>(kLeastTicksPerSecond));
    }
    EXPECT_EQ(stopServer(server, 5.0), 0);
}

INSTANTIATE_TEST_SUITE_P(DuelAndWatchedBattle, ConsoleTest,
                         ::testing::Values(Served::Duel, Served::WatchedBattle));

} // namespace
