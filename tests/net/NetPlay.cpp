#include "NetPlay.h"

#include <fstream>
#include <thread>

namespace netplay {

namespace {
constexpr auto kTick = std::chrono::microseconds(16667);

int occurrences(const std::string& text, const std::string& line) {
    const std::string all = "\n" + text;
    int found = 0;
    for (std::size_t at = all.find("\n" + line + "\n"); at != std::string::npos;
         at = all.find("\n" + line + "\n", at + 1)) {
        ++found;
    }
    return found;
}
} // namespace

bool SharedConsole::has(const std::string& line) const {
    return count(line) > 0;
}

int SharedConsole::count(const std::string& line) const {
    std::lock_guard<std::mutex> lock(mutex);
    return occurrences(written, line);
}

std::string SharedConsole::text() const {
    std::lock_guard<std::mutex> lock(mutex);
    return written;
}

int SharedConsole::overflow(int c) {
    std::lock_guard<std::mutex> lock(mutex);
    written.push_back(static_cast<char>(c));
    return c;
}

std::streamsize SharedConsole::xsputn(const char* s, std::streamsize n) {
    std::lock_guard<std::mutex> lock(mutex);
    written.append(s, static_cast<std::size_t>(n));
    return n;
}

namespace {
NetworkOptions optionsOf(std::uint16_t port, const std::string& password, std::uint32_t version,
                         const std::string& name, ArenaReader* arenas, bool watch) {
    NetworkOptions chosen;
    chosen.arenas = arenas;
    chosen.name = name;
    chosen.watch = watch;
    chosen.port = port;
    chosen.password = password;
    chosen.version = version;
    return chosen;
}
} // namespace

Client::Client(std::uint16_t port, const std::string& password, std::uint32_t version,
               const std::string& name, ArenaReader* arenas, bool watch)
    : game(optionsOf(port, password, version, name, arenas, watch), console, errors) {
    input.drive = 1.0f;
    input.turn = 0.5f;
}

void Client::tick() {
    PlayerInput now = input;
    now.start = game.joined() && !game.drives() && !game.ready();
    events.clear();
    game.tick(now, false, events);
    for (const GameEvent& event : events) {
        if (event.type == GameEventType::Announce) {
            announced.emplace_back(event.text);
        } else if (event.type == GameEventType::MatchWon ||
                   event.type == GameEventType::MatchLost) {
            verdicts.push_back(event.type);
        }
    }
}

void Client::frame(double seconds) {
    const int due = steps.advance(seconds * game.stepRate());
    for (int step = 0; step < due; ++step) {
        tick();
    }
}

bool Client::said(const std::string& line) const {
    return occurrences(console.str(), line) > 0;
}

bool Client::complained(const std::string& line) const {
    return occurrences(errors.str(), line) > 0;
}

void sleepTick() {
    std::this_thread::sleep_for(kTick);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
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

ServerOptions localServer(const std::string& password) {
    ServerOptions options;
    options.port = 0;
    options.password = password;
    return options;
}

ServerOptions localServer(Served served, const std::string& password) {
    ServerOptions options = localServer(password);
    if (served == Served::WatchedBattle) {
        options.mode = Mode::Battle;
        options.tanks = 4;
    }
    return options;
}

Watched::Watched(Served served, std::uint16_t port, const std::string& password) {
    if (served != Served::WatchedBattle) {
        return;
    }
    watcher = std::make_unique<Client>(port, password, protocol::kVersion, "Eve", nullptr, true);
    play({watcher.get()}, 10.0, [&] { return watcher->game.serverTick() != 0; });
    joinedAt = watcher->game.serverTick();
}

std::vector<Client*> Watched::with(std::vector<Client*> clients) {
    if (watcher) {
        clients.push_back(watcher.get());
    }
    return clients;
}

bool Watched::stillWatching() const {
    return !watcher || (watcher->game.watching() && !watcher->game.over() &&
                        watcher->game.status().setup.mode == Mode::Battle &&
                        static_cast<std::int32_t>(watcher->game.serverTick() - joinedAt) > 0);
}

void TickCounter::ticked(std::uint32_t tick, const Match& match, const SeatCommands& commands) {
    const double time = since();
    std::lock_guard<std::mutex> lock(mutex);
    times.push_back(time);
    Stepped seen{tick, {}, commands};
    for (int seat = 0; seat < match.seatCount(); ++seat) {
        seen.drivers[static_cast<std::size_t>(seat)] = match.seat(seat).driver;
    }
    steps.push_back(seen);
}

double TickCounter::since() const {
    return secondsSince(start);
}

std::vector<int> TickCounter::perSecond(int first, int last) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<int> counts(static_cast<std::size_t>(std::max(last - first, 0)), 0);
    for (double time : times) {
        const auto second = static_cast<int>(time);
        if (second >= first && second < last) {
            ++counts[static_cast<std::size_t>(second - first)];
        }
    }
    return counts;
}

std::vector<TickCounter::Stepped> TickCounter::stepped() const {
    std::lock_guard<std::mutex> lock(mutex);
    return steps;
}

void Scores::ticked(std::uint32_t, const Match& match, const SeatCommands&) {
    Seen now;
    now.phase = server.phase();
    now.match = server.matchNumber();
    now.outcome = match.outcome();
    now.seats = match.seatCount();
    for (int seat = 0; seat < match.seatCount(); ++seat) {
        now.frags[static_cast<std::size_t>(seat)] = match.seat(seat).frags;
        now.deaths[static_cast<std::size_t>(seat)] = match.seat(seat).deaths;
    }
    std::lock_guard<std::mutex> lock(mutex);
    seen = now;
}

Scores::Seen Scores::last() const {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
}

std::vector<std::string> battleLines(const std::string& text) {
    std::vector<std::string> said;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Battle: ", 0) == 0 || line.find(" destroyed ") != std::string::npos ||
            line.find(" wins with ") != std::string::npos || line.rfind("Draw at ", 0) == 0) {
            said.push_back(line);
        }
    }
    return said;
}

} // namespace netplay
