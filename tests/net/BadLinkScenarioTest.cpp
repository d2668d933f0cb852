// Players on a server through a link that misbehaves as the internet does: a 120 ms round trip,
// ±20 ms of jitter, 5 % of the datagrams lost and 1 % twice. A minute of duels, both seats
// driving, turning, jumping and firing as fast as the rules allow (the classic rules, with no
// reload: the most traffic and many matches), then a quiet spell; and three minutes of a battle of
// four people and four computer tanks, with a spectator watching.
// What each client was shown is held against what the server decided.
#include "NetPlay.h"
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
#include <set>
#include <sstream>
#include <thread>
#include <utility>

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
    int seats;
    std::array<glm::vec3, protocol::kMaxSeats> positions;
    std::array<int, protocol::kMaxSeats> lives;
    std::array<bool, protocol::kMaxSeats> inPlay;
    std::array<int, protocol::kMaxSeats> frags;
    std::array<int, protocol::kMaxSeats> deaths;
    std::uint64_t repeated; // commands the server had to repeat so far
    std::array<Driver, protocol::kMaxSeats> drivers;
    std::array<bool, protocol::kMaxSeats> trigger; // pulled in the command stepped
    std::array<int, protocol::kMaxSeats> reload;
    std::array<bool, protocol::kMaxSeats> held;
    std::array<int, protocol::kMaxSeats> grace;
};

// A bullet's name: its owner, and the server's tick it was fired in.
using BulletName = std::pair<int, std::uint32_t>;

// The most ticks a pull can come after the tick the client meant it for, over this link (its
// commands are sent every tick, each with the ones before it).
constexpr std::uint32_t kLatePullTicks = 6;

class Recorder : public TickObserver {
public:
    explicit Recorder(const Server& server) : server(server) {}
    void ticked(std::uint32_t tick, const Match& match, const SeatCommands& commands) override {
        ServerTick seen{};
        seen.phase = server.phase();
        seen.match = server.matchNumber();
        seen.repeated = server.counts().repeatedCommands;
        seen.seats = match.seatCount();
        for (int seat = 0; seat < match.seatCount(); ++seat) {
            seen.drivers[seat] = match.seat(seat).driver;
            seen.positions[seat] = match.tank(seat).position;
            seen.lives[seat] = match.tank(seat).lives;
            seen.inPlay[seat] = match.tank(seat).inPlay();
            seen.frags[seat] = match.seat(seat).frags;
            seen.deaths[seat] = match.seat(seat).deaths;
            seen.trigger[seat] = commands[static_cast<std::size_t>(seat)].fire;
            seen.reload[seat] = match.tank(seat).reloadTicks;
            seen.held[seat] = match.tank(seat).triggerHeld;
            seen.grace[seat] = match.tank(seat).graceTicks;
        }
        std::lock_guard<std::mutex> lock(mutex);
        ticks[tick] = seen;
        if (server.phase() == protocol::Phase::Playing) {
            for (const Bullet& bullet : match.state.bullets.bullets) {
                // Named in the server's ticks, as the clients are told.
                fired.insert({bullet.owner, bullet.firedTick + (tick - match.state.tick)});
            }
        }
        if (server.phase() == protocol::Phase::Ended) {
            outcomes[server.matchNumber()] = match.outcome();
        }
    }
    std::mutex mutex;
    std::map<std::uint32_t, ServerTick> ticks;
    std::map<std::uint16_t, Outcome> outcomes;
    std::set<BulletName> fired;

private:
    const Server& server;
};

// One client's player: a script of keys by the tick of the match, and what it was shown. A
// spectator's is shown the game and presses nothing.
struct Player {
    // ENTER once people seats are held by people, so that every match is between them all.
    Player(const NetworkOptions& options, int phaseShift, int people = 2)
        : game(options, console, errors), shift(phaseShift), people(people) {}

    // The nearest other tank in play as drawn, or the own seat when there is none.
    int nearestOther() const {
        const Match& shown = game.shown();
        const glm::vec3 own = game.predictedTank().position;
        int nearest = game.ownSeat();
        for (int seat = 0; seat < shown.seatCount(); ++seat) {
            if (seat != game.ownSeat() && shown.tank(seat).inPlay() &&
                (nearest == game.ownSeat() ||
                 glm::length(shown.tank(seat).position - own) <
                     glm::length(shown.tank(nearest).position - own))) {
                nearest = seat;
            }
        }
        return nearest;
    }

    // The keys for the client's tick t of a match in which this player drives: a round of
    // driving, turning and reversing, a jump now and then, the turret kept on the nearest other
    // tank as drawn, and the trigger pulled as often as the reload allows.
    PlayerInput keys(std::uint32_t t, bool quiet) const {
        PlayerInput input;
        const std::uint32_t cycle = (t + shift) % 240;
        input.drive = cycle < 130 ? 1.0f : cycle < 170 ? -1.0f : 0.0f;
        input.turn = cycle >= 90 && cycle < 130 ? 1.0f : cycle >= 170 ? -1.0f : 0.0f;
        const Tank& own = game.predictedTank();
        glm::vec3 towards = game.shown().tank(nearestOther()).position - own.position;
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
            } else if (game.joined() && !game.watching()) {
                const auto& seats = game.status().seats;
                const auto held = std::count_if(
                    seats.begin(), seats.begin() + game.status().setup.seats,
                    [](const auto& seat) { return seat.occupant != protocol::Occupant::Computer; });
                input.start = !game.ready() && held >= people;
            }
            events.clear();
            game.tick(input, false, events);
            for (const GameEvent& event : events) {
                if (event.type == GameEventType::TankHit) {
                    ++hits[static_cast<std::size_t>(event.seat)];
                } else if (event.type == GameEventType::Announce) {
                    announced.emplace_back(event.text);
                }
                restarted = restarted || event.type == GameEventType::MatchStart;
            }
            if (game.phase() == protocol::Phase::Playing) {
                for (const Bullet& bullet : game.shown().state.bullets.bullets) {
                    (bullet.owner == game.ownSeat() ? ownBullets : otherBullets)
                        .insert({bullet.owner, bullet.firedTick});
                }
            }
            if (game.drives()) {
                predicted[game.clientTick()] = {game.status().match, game.predictedTank().position,
                                                input.drive, input.turn, input.jump};
            }
        }
        // A duel's other tank as drawn this frame.
        const bool duel = game.shown().seatCount() == 2 && game.ownSeat() >= 0;
        const int other = duel ? 1 - game.ownSeat() : 0;
        const glm::vec3 drawn = game.shown().tank(other).positionAt(clock.blend());
        if (duel && game.phase() == protocol::Phase::Playing && seenBefore && !restarted) {
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
    int people;
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
    std::vector<std::string> announced;
    std::set<BulletName> ownBullets; // shown, by the names given them
    std::set<BulletName> otherBullets;
};

// Ticks of steady driving for the client, and how many of them were predicted within 0.01 of
// the server.
struct Agreement {
    int steady = 0;
    int within = 0;
    float worst = 0.0f;
};

// No other tank near the seat's.
bool apart(const ServerTick& tick, int seat) {
    for (int other = 0; other < tick.seats; ++other) {
        if (other != seat && glm::length(tick.positions[other] - tick.positions[seat]) <= kApart) {
            return false;
        }
    }
    return true;
}

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
                     seen->second.match == guess.match && seen->second.inPlay[seat] &&
                     apart(seen->second, seat);
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

// Each client's UDP payload each way over the whole seconds of play (not the joining, not the
// last part-second): at most 12 KB/s on average and 16 KB/s in the busiest second.
void checkTraffic(const std::vector<LinkRelay::Traffic>& traffic, std::size_t clients) {
    ASSERT_EQ(traffic.size(), clients);
    for (std::size_t client = 0; client < traffic.size(); ++client) {
        for (const auto& [name, seconds] :
             {std::pair{"up", traffic[client].up}, std::pair{"down", traffic[client].down}}) {
            ASSERT_GT(seconds.size(), 3u);
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
    checkTraffic(relay.traffic(), 2);
}

// Four people and four Veterans play a battle of three minutes (its time limit) through the bad
// link, and a fifth client watches it. Every client and the spectator are shown every frag by
// name, every score and the outcome as the server decided them; each player's own tank is
// predicted as the server stepped it wherever it drove steadily; every bullet a client showed
// bears the name of one the server fired, and each player's own shots are exactly the server's.
TEST(BadLinkScenarioTest, ThreeMinutesOfABattleShowFourPlayersAndASpectatorWhatTheServerDecided) {
    constexpr int kPeople = 4;
    constexpr int kBattleSeconds = 180;
    constexpr std::uint32_t kMostTicks = (kBattleSeconds + 30) * 60;
    std::ostringstream serverConsole;
    ServerOptions options;
    options.port = 0;
    options.seed = 11;
    options.mode = Mode::Battle;
    options.tanks = 8;
    options.fragLimit = MatchSetup::kMaxFragLimit;
    options.timeLimitSeconds = kBattleSeconds;
    options.skill = Skill::Veteran;
    Server server(options, serverConsole);
    ASSERT_TRUE(server.listening());
    Recorder recorder(server);
    server.observer = &recorder;
    LinkRelay relay(server.port(), LinkRelay::Link());
    NetworkOptions joining;
    joining.port = relay.port();
    NetworkOptions watching = joining;
    watching.watch = true;
    watching.name = "Eve";
    // The spectator first, the players one after another; it is the relay's first client.
    std::vector<std::unique_ptr<Player>> clients;
    bool ended = false;
    {
        ServerThread running(server);
        clients.push_back(std::make_unique<Player>(watching, 0, kPeople));
        Clock::time_point last = Clock::now();
        while (server.currentTick() < kMostTicks && !ended) {
            std::this_thread::sleep_for(std::chrono::microseconds(16667));
            const Clock::time_point now = Clock::now();
            const double seconds = std::chrono::duration<double>(now - last).count();
            last = now;
            for (auto& client : clients) {
                client->frame(seconds, false);
            }
            if (clients.size() < kPeople + 1 && clients.back()->game.joined()) {
                clients.push_back(std::make_unique<Player>(
                    joining, 61 * static_cast<int>(clients.size()), kPeople));
            }
            ended = server.phase() == protocol::Phase::Ended &&
                    std::all_of(clients.begin(), clients.end(), [](const auto& client) {
                        return client->game.phase() == protocol::Phase::Ended;
                    });
        }
        for (auto& client : clients) {
            client->game.leave();
        }
    }
    ASSERT_TRUE(ended) << serverConsole.str();
    ASSERT_EQ(clients.size(), static_cast<std::size_t>(kPeople + 1));
    EXPECT_EQ(clients[0]->game.ownSeat(), protocol::kWaiting) << "the spectator watched";

    // The frags by name, the scores and the outcome: the server's, on every client.
    // As they stood when the match ended: the clients leave after it, and with nobody left
    // the server goes back to its title.
    std::vector<std::string> said = netplay::battleLines(serverConsole.str());
    const auto result = std::find_if(said.begin(), said.end(), [](const std::string& line) {
        return line.find(" wins with ") != std::string::npos || line.rfind("Draw at ", 0) == 0;
    });
    ASSERT_NE(result, said.end()) << "no result line";
    said.erase(result + 1, said.end());
    ASSERT_GE(said.size(), 10u) << "too few frags to tell";
    EXPECT_EQ(said.front(), "Battle: 8 tanks, first to 99 frags");
    ASSERT_EQ(recorder.outcomes.size(), 1u);
    const auto lastEnded =
        std::find_if(recorder.ticks.rbegin(), recorder.ticks.rend(),
                     [](const auto& tick) { return tick.second.phase == protocol::Phase::Ended; });
    ASSERT_NE(lastEnded, recorder.ticks.rend());
    const ServerTick& end = lastEnded->second;
    for (const auto& client : clients) {
        const int own = client->game.ownSeat();
        const std::string who = own < 0 ? "the spectator" : "seat " + std::to_string(own + 1);
        EXPECT_EQ(client->announced, said) << who;
        for (std::size_t i = 0; i < std::min(client->announced.size(), said.size()); ++i) {
            if (client->announced[i] != said[i]) {
                ADD_FAILURE() << who << " line " << i << ": \"" << client->announced[i]
                              << "\" where the server said \"" << said[i] << "\"";
                break;
            }
        }
        EXPECT_EQ(client->outcomes, recorder.outcomes) << who;
        for (int seat = 0; seat < end.seats; ++seat) {
            EXPECT_EQ(client->game.shown().seat(seat).frags, end.frags[seat])
                << who << ", seat " << seat;
            EXPECT_EQ(client->game.shown().seat(seat).deaths, end.deaths[seat])
                << who << ", seat " << seat;
        }
    }
    std::printf("%zu battle lines, commands repeated %llu\n", said.size(),
                static_cast<unsigned long long>(server.counts().repeatedCommands));

    // Bullets by owner and fired tick: every one the server fired for the player, and only
    // those, save a shot predicted in a tick the server had the tank destroyed in (the client
    // hears of it a round trip later; the server's tank fired nothing then).
    for (const auto& client : clients) {
        const int seat = client->game.ownSeat();
        std::set<BulletName> served;
        for (const BulletName& name : recorder.fired) {
            if (name.first == seat) {
                served.insert(name);
            }
        }
        std::size_t unknown = 0;
        for (const BulletName& name : client->otherBullets) {
            unknown += recorder.fired.count(name) == 0 ? 1 : 0;
        }
        std::size_t missed = 0;
        std::size_t outOfPlay = 0;
        std::set<std::uint32_t> pulledLate; // ticks of shots shown the server fired later
        for (const BulletName& name : client->ownBullets) {
            if (served.count(name) == 0) {
                // Predicted, and not fired: the tank was destroyed in that tick, the match had
                // ended by then (the client runs ahead of the server), or the pull came too late
                // over the link and the server stepped the command before again.
                const auto at = recorder.ticks.find(name.second);
                const auto before = recorder.ticks.find(name.second - 1);
                const bool late = at != recorder.ticks.end() && before != recorder.ticks.end() &&
                                  (!at->second.trigger[seat] || before->second.trigger[seat]);
                const bool explained = at != recorder.ticks.end() &&
                                       (!at->second.inPlay[seat] ||
                                        at->second.phase != protocol::Phase::Playing || late);
                if (explained && late) {
                    pulledLate.insert(name.second);
                }
                EXPECT_TRUE(explained)
                    << "seat " << seat + 1 << " showed a shot at tick " << name.second;
                for (std::uint32_t t = name.second - 3; !explained && t <= name.second + 1; ++t) {
                    const auto had = recorder.ticks.find(t);
                    if (had != recorder.ticks.end()) {
                        std::printf("the server's tank at %u: in play %d, pulled %d, reload %d, "
                                    "held %d, grace %d\n",
                                    t, had->second.inPlay[seat], had->second.trigger[seat],
                                    had->second.reload[seat], had->second.held[seat],
                                    had->second.grace[seat]);
                    }
                }
                ++outOfPlay;
            }
        }
        // A pull that came too late is fired by the server a few ticks after the client showed
        // it: each such shot the client did not show pairs with one it showed just before.
        std::size_t firedLater = 0;
        for (const BulletName& name : served) {
            if (client->ownBullets.count(name) != 0) {
                continue;
            }
            const auto shown = pulledLate.lower_bound(name.second - kLatePullTicks);
            if (shown != pulledLate.end() && *shown < name.second) {
                pulledLate.erase(shown);
                ++firedLater;
            } else {
                ++missed;
                ADD_FAILURE() << "seat " << seat + 1 << " did not show its shot of tick "
                              << name.second;
            }
        }
        std::printf("%s %d: %zu own bullets shown of %zu fired (%zu missed, %zu as it was "
                    "destroyed, ended or late, %zu fired later), %zu others' shown, %zu unknown\n",
                    seat < 0 ? "spectator" : "seat", seat + 1, client->ownBullets.size(),
                    served.size(), missed, outOfPlay, firedLater, client->otherBullets.size(),
                    unknown);
        EXPECT_EQ(unknown, 0u) << "seat " << seat + 1;
        EXPECT_EQ(missed, 0u) << "seat " << seat + 1;
        EXPECT_GT(client->otherBullets.size(), 100u) << "seat " << seat + 1;
    }

    // Each player's own tank as the server had it, wherever it drove steadily.
    for (const auto& client : clients) {
        const int seat = client->game.ownSeat();
        if (seat < 0) {
            continue;
        }
        const Agreement agreed = agreement(*client, recorder.ticks);
        std::printf("seat %d: %d steady ticks, %d within 0.01, worst %.4f\n", seat + 1,
                    agreed.steady, agreed.within, agreed.worst);
        EXPECT_GT(agreed.steady, 300) << "seat " << seat + 1;
        EXPECT_EQ(agreed.within, agreed.steady) << "seat " << seat + 1;
    }

    checkTraffic(relay.traffic(), kPeople + 1);
}

} // namespace
