#pragma once

#include "client/NetworkGame.h"
#include "net/Server.h"
#include "platform/FixedStep.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

// What the network scenarios share: a console the server's thread writes while the test reads
// it, a client ticked like a player, play in real time, and the server's ticks counted by the
// second they ran in.
namespace netplay {

using Clock = std::chrono::steady_clock;

class SharedConsole : public std::streambuf {
public:
    bool has(const std::string& line) const;
    int count(const std::string& line) const;
    std::string text() const;
    std::ostream stream{this};

protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

private:
    mutable std::mutex mutex;
    std::string written;
};

struct Client {
    explicit Client(std::uint16_t port, const std::string& password = "",
                    std::uint32_t version = protocol::kVersion, const std::string& name = "Player",
                    ArenaReader* arenas = nullptr, bool watch = false);
    // One tick with input; ENTER pressed on the screens between matches.
    void tick();
    // As many ticks as seconds of real time call for, at the rate the server's clock asks.
    void frame(double seconds);
    bool said(const std::string& line) const;
    bool complained(const std::string& line) const;

    std::ostringstream console;
    std::ostringstream errors;
    NetworkGame game;
    EventList events;
    std::vector<std::string> announced;  // every line for the console the game made
    std::vector<GameEventType> verdicts; // every MatchWon and MatchLost, as the player hears them
    PlayerInput input;                   // held every tick: full drive, half a turn
    FixedStep steps;
};

// Sleeps for a tick.
void sleepTick();

// Plays every client in real time, a frame a tick, until done() or seconds pass; false on the
// timeout.
template <typename Done> bool play(std::vector<Client*> clients, double seconds, Done done) {
    const Clock::time_point until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(seconds));
    Clock::time_point last = Clock::now();
    while (Clock::now() < until) {
        const Clock::time_point now = Clock::now();
        for (Client* client : clients) {
            client->frame(std::chrono::duration<double>(now - last).count());
        }
        last = now;
        if (done()) {
            return true;
        }
        sleepTick();
    }
    return false;
}
double secondsSince(Clock::time_point start);
long residentKilobytes();
ServerOptions localServer(const std::string& password = "");

// What the attack tests are played against: a duel, or a battle of four tanks that a client
// watches as well (Watched::watcher).
enum class Served { Duel, WatchedBattle };
// How a test run against each is named.
inline void PrintTo(Served served, std::ostream* out) {
    *out << (served == Served::Duel ? "Duel" : "WatchedBattle");
}
ServerOptions localServer(Served served, const std::string& password = "");
// The spectator of a WatchedBattle, joined (nothing for a duel): it is to go on watching
// whatever the attack, its snapshots coming.
class Watched {
public:
    Watched(Served served, std::uint16_t port, const std::string& password = "");
    // The clients to play, the watcher among them.
    std::vector<Client*> with(std::vector<Client*> clients);
    // Still watching a battle, and its newest snapshot newer than when it joined.
    bool stillWatching() const;
    std::unique_ptr<Client> watcher;

private:
    std::uint32_t joinedAt = 0;
};

// The server's ticks by the second of wall time, from its construction, they ran in; and the
// commands each seat was stepped with.
class TickCounter : public TickObserver {
public:
    void ticked(std::uint32_t tick, const Match& match, const SeatCommands& commands) override;
    // Ticks in each whole second from first to last (exclusive), counted from construction.
    std::vector<int> perSecond(int first, int last) const;
    double since() const;

    struct Stepped {
        std::uint32_t tick;
        std::array<Driver, protocol::kMaxSeats> drivers;
        SeatCommands commands;
    };
    std::vector<Stepped> stepped() const;

private:
    Clock::time_point start = Clock::now();
    mutable std::mutex mutex;
    std::vector<double> times;
    std::vector<Stepped> steps;
};

// The server's scores as its last tick left them.
class Scores : public TickObserver {
public:
    struct Seen {
        Phase phase = Phase::Title;
        std::uint16_t match = 0;
        Outcome outcome;
        std::array<int, protocol::kMaxSeats> frags{};
        std::array<int, protocol::kMaxSeats> deaths{};
        int seats = 0;
    };

    explicit Scores(const Server& server) : server(server) {}
    void ticked(std::uint32_t tick, const Match& match, const SeatCommands& commands) override;
    Seen last() const;

private:
    const Server& server;
    mutable std::mutex mutex;
    Seen seen;
};

// A battle's lines in text, in order: its start, each frag, its end.
std::vector<std::string> battleLines(const std::string& text);

} // namespace netplay
