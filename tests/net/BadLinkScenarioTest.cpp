// Two players on a server through a link that misbehaves as the internet does: a 120 ms round
// trip, ±20 ms of jitter, 5 % of the datagrams lost and 1 % twice. A minute of matches, both
// seats driving, turning, jumping and firing as fast as the rules allow (the classic rules, with
// no reload: the most traffic and many matches), then a quiet spell.
// What each client was shown is held against what the server decided.
#include "client/NetworkGame.h"
#include "game/Angles.h"
#include "net/LinkRelay.h"
#include "net/Server.h"
#include "net/ServerThread.h"
#include "platform/FixedStep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kPlayTicks = 60 * 60; // a minute of the server's ticks
constexpr std::uint32_t kQuietTicks = 3 * 60; // no shots, so every bullet lands before the end
constexpr int kSteadyTicks = 30;              // the same driving for half a second
constexpr float kApart = 4.0f;                // units between the tanks: no contact near

// What the server decided at each tick.
struct ServerTick {
    protocol::Phase phase;
    std::uint16_t match;
    std::array<glm::vec3, protocol::kMaxSeats> positions;
    std::array<int, protocol::kMaxSeats> lives;
    std::uint64_t repeated; // commands the server had to repeat so far
    std::array<Driver, protocol::kMaxSeats> drivers;
};

class Recorder : public TickObserver {
public:
    explicit Recorder(const Server& server) : server(server) {}
    void ticked(std::uint32_t tick, const Match& match, const SeatCommands&) override {
        ServerTick seen{};
        seen.phase = server.phase();
        seen.match = server.matchNumber();
        seen.repeated = server.counts().repeatedCommands;
        for (int seat = 0; seat < match.seatCount(); ++seat) {
            seen.drivers[seat] = match.seat(seat).driver;
            seen.positions[seat] = match.tank(seat).position;
            seen.lives[seat] = match.tank(seat).lives;
        }
        std::lock_guard<std::mutex> lock(mutex);
        ticks[tick] = seen;
        if (server.phase() == protocol::Phase::Ended) {
            outcomes[server.matchNumber()] = match.outcome();
        }
    }
    std::mutex mutex;
    std::map<std::uint32_t, ServerTick> ticks;
    std::map<std::uint16_t, Outcome> outcomes;

private:
    const Server& server;
};

// One client's player: a script of keys by the tick of the match, and what it was shown.
struct Player {
    Player(const NetworkOptions& options, int phaseShift)
        : game(options, console, errors), shift(phaseShift) {}

    // The keys for the client's tick t of a match in which this player drives: a round of
    // driving, turning and reversing, a jump now and then, the turret kept on the other tank
    // as drawn, and the trigger pulled as often as the reload allows.
    PlayerInput keys(std::uint32_t t, bool quiet) const {
        PlayerInput input;
        const std::uint32_t cycle = (t + shift) % 240;
        input.drive = cycle < 130 ? 1.0f : cycle < 170 ? -1.0f : 0.0f;
        input.turn = cycle >= 90 && cycle < 130 ? 1.0f : cycle >= 170 ? -1.0f : 0.0f;
        const Tank& own = game.predictedTank();
        glm::vec3 towards = game.shown().tank(1 - game.ownSeat()).position - own.position;
        towards.y = 0.0f;
        const float off =
            glm::length(towards) > 0.1f
                ? headingDifference(own.turretHeading, headingOf(glm::normalize(towards)))
                : 0.0f;
        input.turret = std::clamp(off / 10.0f, -1.0f, 1.0f) - input.turn;
        input.jump = (t + shift) % 300 == 200;
        input.fire = !quiet && t % 2 == 0;
        return input;
    }

    void frame(double seconds, bool quiet) {
        const int steps = clock.advance(seconds * game.stepRate());
        for (int step = 0; step < steps; ++step) {
            PlayerInput input;
            if (game.drives()) {
                if (startTick == 0 || game.status().match != match) {
                    match = game.status().match;
                    startTick = game.clientTick() + 1;
                }
                input = keys(game.clientTick() + 1 - startTick, quiet);
            } else if (game.joined()) {
                // ENTER once both seats are taken, so that every match is between the two.
                const auto& seats = game.status().seats;
                input.start = !game.ready() && seats[0].occupant != protocol::Occupant::Computer &&
                              seats[1].occupant != protocol::Occupant::Computer;
            }
            events.clear();
            game.tick(input, false, events);
            for (const GameEvent& event : events) {
                if (event.type == GameEventType::TankHit) {
                    ++hits[static_cast<std::size_t>(event.seat)];
                }
                restarted = restarted || event.type == GameEventType::MatchStart;
            }
            if (game.drives()) {
                predicted[game.clientTick()] = {game.status().match, game.predictedTank().position,
                                                input.drive, input.turn, input.jump};
            }
        }
        // The other tank as drawn this frame.
        const int other = 1 - game.ownSeat();
        const glm::vec3 drawn = game.shown().tank(other).positionAt(clock.blend());
        if (game.phase() == protocol::Phase::Playing && seenBefore && !restarted) {
            worstDraw = std::max(worstDraw, glm::length(drawn - lastDrawn) -
                                                12.0f * static_cast<float>(seconds));
        }
        restarted = false;
        seenBefore = game.phase() == protocol::Phase::Playing;
        if (game.phase() == protocol::Phase::Ended) {
            outcomes[game.status().match] = game.status().outcome;
        }
        lastDrawn = drawn;
    }

    struct Predicted {
        std::uint16_t match;
        glm::vec3 position;
        float drive;
        float turn;
        bool jump;
    };
    std::ostringstream console;
    std::ostringstream errors;
    NetworkGame game;
    int shift;
    FixedStep clock;
    EventList events;
    std::uint16_t match = 0;
    std::uint32_t startTick = 0;
    std::map<std::uint32_t, Predicted> predicted; // by client tick
    std::array<std::uint64_t, protocol::kMaxSeats> hits{};
    std::map<std::uint16_t, Outcome> outcomes; // of each match that ended, by its number
    glm::vec3 lastDrawn{0.0f};
    bool seenBefore = false;
    bool restarted = false;
    float worstDraw = -1.0f; // the drawn step beyond 12 units/s × the frame, worst frame
};

// Ticks of steady driving for the client, and how many of them were predicted within 0.01 of
// the server.
struct Agreement {
    int steady = 0;
    int within = 0;
    float worst = 0.0f;
};

Agreement agreement(const Player& player, const std::map<std::uint32_t, ServerTick>& server) {
    Agreement result;
    const int seat = player.game.ownSeat();
    for (const auto& [tick, guess] : player.predicted) {
        bool steady = true;
        for (std::uint32_t back = 0; back <= kSteadyTicks && steady; ++back) {
            const auto mine = player.predicted.find(tick - back);
            const auto seen = server.find(tick - back);
            steady = mine != player.predicted.end() && seen != server.end() &&
                     mine->second.drive == guess.drive && mine->second.turn == guess.turn &&
                     !mine->second.jump && seen->second.phase == protocol::Phase::Playing &&
                     seen->second.drivers[seat] == Driver::Human &&
                     seen->second.match == guess.match &&
                     glm::length(seen->second.positions[0] - seen->second.positions[1]) > kApart;
        }
        // Steady for the server too: every command of the spell came in time.
        const auto spellStart = server.find(tick - kSteadyTicks);
        steady = steady && spellStart != server.end() &&
                 spellStart->second.repeated == server.at(tick).repeated;
        if (!steady) {
            continue;
        }
        const float error = glm::length(guess.position - server.at(tick).positions[seat]);
        ++result.steady;
        result.within += error <= 0.01f ? 1 : 0;
        result.worst = std::max(result.worst, error);
    }
    return result;
}

TEST(BadLinkScenarioTest, AMinuteOfMatchesOverALossyLinkShowsBothPlayersWhatTheServerDecided) {
    std::ostringstream serverConsole;
    ServerOptions options;
    options.port = 0;
    options.seed = 7;
    options.rules = Rules::Classic;
    Server server(options, serverConsole);
    ASSERT_TRUE(server.listening());
    Recorder recorder(server);
    server.observer = &recorder;
    LinkRelay relay(server.port(), LinkRelay::Link());
    NetworkOptions joining;
    joining.port = relay.port();
    std::vector<std::unique_ptr<Player>> players;
    {
        ServerThread running(server);
        players.push_back(std::make_unique<Player>(joining, 0));
        Clock::time_point last = Clock::now();
        while (server.currentTick() < kPlayTicks + kQuietTicks) {
            std::this_thread::sleep_for(std::chrono::microseconds(16667));
            const Clock::time_point now = Clock::now();
            const double seconds = std::chrono::duration<double>(now - last).count();
            last = now;
            const bool quiet = server.currentTick() > kPlayTicks;
            for (auto& player : players) {
                player->frame(seconds, quiet);
            }
            // The second joins once the first has its seat.
            if (players.size() == 1 && players[0]->game.joined()) {
                players.push_back(std::make_unique<Player>(joining, 97));
            }
        }
        for (auto& player : players) {
            player->game.leave();
        }
    }
    ASSERT_EQ(players.size(), 2u);

    // Every hit reached both, and both end as the server does.
    const ServerCounts& counts = server.counts();
    EXPECT_GT(counts.hits[0] + counts.hits[1], 5u) << "too few hits to tell";
    EXPECT_FALSE(recorder.outcomes.empty()) << "no match ended";
    const ServerTick& end = recorder.ticks.rbegin()->second;
    for (const auto& player : players) {
        EXPECT_EQ(player->hits, counts.hits);
        EXPECT_EQ(player->outcomes, recorder.outcomes);
        EXPECT_EQ(player->game.status().match, server.matchNumber());
        for (int seat = 0; seat < player->game.shown().seatCount(); ++seat) {
            EXPECT_EQ(player->game.shown().tank(seat).lives, end.lives[seat]) << "seat " << seat;
        }
    }
    std::printf("matches %u, hits %llu and %llu, commands repeated %llu\n",
                static_cast<unsigned>(server.matchNumber()),
                static_cast<unsigned long long>(counts.hits[0]),
                static_cast<unsigned long long>(counts.hits[1]),
                static_cast<unsigned long long>(counts.repeatedCommands));

    for (const auto& player : players) {
        const int seat = player->game.ownSeat();
        // Its own tank as the server had it, wherever it drove steadily.
        const Agreement agreed = agreement(*player, recorder.ticks);
        std::printf("seat %d: %d steady ticks, %d within 0.01, worst %.4f; drawn step beyond "
                    "12 u/s %.4f\n",
                    seat + 1, agreed.steady, agreed.within, agreed.worst, player->worstDraw);
        EXPECT_GT(agreed.steady, 300) << "seat " << seat + 1;
        EXPECT_EQ(agreed.within, agreed.steady) << "seat " << seat + 1;
        // The other tank never drawn faster than a tank drives.
        EXPECT_LE(player->worstDraw, 0.1f) << "seat " << seat + 1;
        // The first match's first tick with the drive key already moves the standing tank.
        const auto first = std::find_if(player->predicted.begin(), player->predicted.end(),
                                        [](const auto& entry) { return entry.second.drive != 0; });
        ASSERT_NE(first, player->predicted.end());
        const auto before = player->predicted.find(first->first - 1);
        ASSERT_NE(before, player->predicted.end());
        EXPECT_NE(first->second.position, before->second.position) << "seat " << seat + 1;
    }

    // What the link carried: the UDP payload per client, each way.
    const std::vector<LinkRelay::Traffic> traffic = relay.traffic();
    ASSERT_EQ(traffic.size(), 2u);
    for (std::size_t client = 0; client < traffic.size(); ++client) {
        for (const auto& [name, seconds] :
             {std::pair{"up", traffic[client].up}, std::pair{"down", traffic[client].down}}) {
            // Whole seconds of play only: not the joining, not the last part-second.
            const std::vector<std::uint64_t> played(seconds.begin() + 2, seconds.end() - 1);
            std::uint64_t total = 0;
            std::uint64_t most = 0;
            for (std::uint64_t bytes : played) {
                total += bytes;
                most = std::max(most, bytes);
            }
            const double average = static_cast<double>(total) / static_cast<double>(played.size());
            std::printf("client %zu %s: %.0f B/s on average, %llu B/s at most\n", client + 1, name,
                        average, static_cast<unsigned long long>(most));
            EXPECT_LE(average, 12000.0) << "client " << client + 1 << " " << name;
            EXPECT_LE(most, 16000u) << "client " << client + 1 << " " << name;
        }
    }
}

} // namespace
