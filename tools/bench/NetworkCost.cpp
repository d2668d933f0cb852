#include "NetworkCost.h"

#include "StrangerFlood.h"
#include "client/NetworkGame.h"
#include "net/Server.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kJoinSeconds = 10.0; // for every client to join and start the match
constexpr int kCycleTicks = 240;      // one round of driving forward, turning and reversing

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A client's player: ENTER between matches, and in one a round of driving with the trigger
// pulled every second tick, the most the reload allows.
PlayerInput keysFor(const NetworkGame& game, std::uint32_t tick, int shift) {
    PlayerInput input;
    if (!game.drives()) {
        input.start = game.joined() && !game.ready();
        return input;
    }
    const std::uint32_t cycle = (tick + static_cast<std::uint32_t>(shift)) % kCycleTicks;
    input.drive = cycle < 130 ? 1.0f : cycle < 170 ? -1.0f : 0.0f;
    input.turn = cycle >= 90 && cycle < 130 ? 1.0f : 0.0f;
    input.turret = 0.3f;
    input.fire = tick % 2 == 0;
    return input;
}

struct Client {
    explicit Client(std::uint16_t port) : game(options(port), console, errors) {}
    static NetworkOptions options(std::uint16_t port) {
        NetworkOptions chosen;
        chosen.port = port;
        return chosen;
    }
    std::ostringstream console;
    std::ostringstream errors;
    NetworkGame game;
    EventList events;
};

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[rank];
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

// The server stepped at 60 Hz in this thread, its CPU time per tick taken (taking in the
// network, stepping, sending), with clients ticked beside it, each tick after service.
class ServerLoop {
public:
    explicit ServerLoop(Server& server) : server(server), next(Clock::now()) {}
    // One tick of the server and of each client; the server's CPU time for it, in seconds.
    double tick(const std::vector<Client*>& clients, std::uint32_t count) {
        for (std::size_t seat = 0; seat < clients.size(); ++seat) {
            Client& client = *clients[seat];
            client.events.clear();
            client.game.tick(keysFor(client.game, count, static_cast<int>(seat) * 60), false,
                             client.events);
        }
        const double before = threadCpuSeconds();
        server.service(0);
        server.tick();
        const double cpu = threadCpuSeconds() - before;
        next += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(Match::kTickSeconds));
        std::this_thread::sleep_until(next);
        return cpu;
    }

private:
    Server& server;
    Clock::time_point next;
};

} // namespace

namespace {

// A server of options on loopback with as many clients as it has seats, all driving and firing,
// measured for seconds of one match; what is measured is printed under what.
bool measureServer(std::ostream& out, double seconds, ServerOptions serverOptions,
                   const char* what) {
    std::ostringstream serverConsole;
    serverOptions.port = 0;
    Server server(serverOptions, serverConsole);
    if (!server.listening()) {
        out << "network: no server on loopback: " << server.errorLine() << "\n";
        return false;
    }
    const int seats = serverOptions.setup().seats;
    std::vector<std::unique_ptr<Client>> clients;
    std::vector<Client*> players;
    for (int seat = 0; seat < seats; ++seat) {
        clients.push_back(std::make_unique<Client>(server.port()));
        players.push_back(clients.back().get());
    }
    std::vector<double> tickCpu;
    ServerLoop loop(server);
    const Clock::time_point start = Clock::now();
    std::uint32_t measuredFrom = 0;
    std::uint32_t sentBefore = 0;
    std::uint32_t receivedBefore = 0;
    Clock::time_point measureStart;
    for (std::uint32_t tick = 1;; ++tick) {
        const double cpu = loop.tick(players, tick);
        const bool playing =
            server.phase() == protocol::Phase::Playing && server.players() == seats;
        if (measuredFrom == 0 && playing) {
            measuredFrom = tick;
            measureStart = Clock::now();
            sentBefore = server.sentBytes();
            receivedBefore = server.receivedBytes();
        }
        if (measuredFrom != 0) {
            tickCpu.push_back(cpu * 1000.0);
        }
        if (measuredFrom != 0 &&
            tick - measuredFrom >= static_cast<std::uint32_t>(seconds / Match::kTickSeconds)) {
            break;
        }
        if (measuredFrom == 0 &&
            Clock::now() - start > std::chrono::duration<double>(kJoinSeconds)) {
            out << "network: the " << seats << " clients did not start a match\n";
            return false;
        }
    }
    const double wall = std::chrono::duration<double>(Clock::now() - measureStart).count();
    const double perClient = 1.0 / (static_cast<double>(seats) * wall * 1000.0);
    out << std::fixed << std::setprecision(3) << "server CPU per tick, " << what
        << ", sealed: median " << percentile(tickCpu, 0.5) << " ms, p90 "
        << percentile(tickCpu, 0.9) << " ms, max " << percentile(tickCpu, 1.0) << " ms over "
        << tickCpu.size() << " ticks\n"
        << std::setprecision(2) << "bandwidth per client (UDP payload): to the server "
        << static_cast<double>(server.receivedBytes() - receivedBefore) * perClient
        << " KB/s, from it " << static_cast<double>(server.sentBytes() - sentBefore) * perClient
        << " KB/s\n";
    for (Client* client : players) {
        client->game.leave();
    }
    return true;
}

} // namespace

bool measureNetworkCost(std::ostream& out, double seconds) {
    ServerOptions duel;
    duel.rules = Rules::Classic; // no reload: both seats fire every second tick
    ServerOptions battle;
    battle.mode = Mode::Battle;
    battle.tanks = MatchSetup::kMaxSeats;
    battle.skill = Skill::Veteran;
    return measureServer(out, seconds, duel, "two clients, classic rules, both firing") &&
           measureServer(out, seconds, battle,
                         "eight clients in a battle, each firing as its reload allows");
}

bool measureStrangerFlood(std::ostream& out, double seconds) {
    std::ostringstream serverConsole;
    ServerOptions serverOptions;
    serverOptions.port = 0;
    Server server(serverOptions, serverConsole);
    if (!server.listening()) {
        out << "flood: no server on loopback: " << server.errorLine() << "\n";
        return false;
    }
    Client player(server.port());
    ServerLoop loop(server);
    const std::vector<Client*> players{&player};
    std::uint32_t tick = 0;
    const Clock::time_point start = Clock::now();
    while (!player.game.drives()) {
        loop.tick(players, ++tick);
        if (Clock::now() - start > std::chrono::duration<double>(kJoinSeconds)) {
            out << "flood: the player did not start a match\n";
            return false;
        }
    }
    // The server's CPU in the same time without a flood, then with one.
    const auto cpuOver = [&](double span, const auto& each) {
        double cpu = 0.0;
        const Clock::time_point from = Clock::now();
        while (Clock::now() - from < std::chrono::duration<double>(span)) {
            cpu += loop.tick(players, ++tick);
            each();
        }
        return cpu / span;
    };
    const double quiet = cpuOver(seconds / 2.0, [] {});
    const long before = residentKilobytes();
    long most = before;
    StrangerFlood::Settings settings;
    settings.port = server.port();
    settings.seconds = seconds;
    StrangerFlood flood(settings);
    const Clock::time_point floodStart = Clock::now();
    std::vector<int> ticksPerSecond(static_cast<std::size_t>(seconds), 0);
    std::uint32_t lastSnapshot = player.game.serverTick();
    Clock::time_point lastNews = Clock::now();
    double widestGap = 0.0;
    const double flooded = cpuOver(seconds, [&] {
        const auto second = static_cast<std::size_t>(
            std::chrono::duration<double>(Clock::now() - floodStart).count());
        if (second < ticksPerSecond.size()) {
            ++ticksPerSecond[second];
        }
        if (player.game.serverTick() != lastSnapshot) {
            widestGap =
                std::max(widestGap, std::chrono::duration<double>(Clock::now() - lastNews).count());
            lastSnapshot = player.game.serverTick();
            lastNews = Clock::now();
        }
        most = std::max(most, residentKilobytes());
    });
    out << std::fixed << std::setprecision(1) << "stranger's flood, "
        << static_cast<double>(flood.bytesSent()) / seconds / 1e6 << " MB/s for " << seconds
        << " s: largest gap between snapshots " << widestGap * 1000.0 << " ms, worst second "
        << *std::min_element(ticksPerSecond.begin(), ticksPerSecond.end())
        << " ticks, resident memory grew " << static_cast<double>(most - before) / 1024.0
        << " MiB, the flood's share of a core " << (flooded - quiet) * 100.0 << " % (the server "
        << quiet * 100.0 << " % without it)\n";
    player.game.leave();
    return true;
}
