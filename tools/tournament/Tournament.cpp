#include "Tournament.h"

#include "game/Match.h"

#include <algorithm>
#include <thread>

Tournament::Tournament(std::uint64_t seed, Rules rules, float capSeconds, int threads, Arena played)
    : seed(seed), rules(rules), capSeconds(capSeconds), threads(std::max(threads, 1)),
      arena(std::move(played)), graph(std::make_shared<const NavGraph>(arena)) {}

template <typename Play>
std::vector<Tournament::Played> Tournament::playAll(int count, Play play) const {
    std::vector<Played> results(static_cast<std::size_t>(count));
    std::vector<std::thread> workers;
    const int used = std::min(threads, count);
    for (int worker = 0; worker < used; ++worker) {
        workers.emplace_back([&, worker] {
            for (int index = worker; index < count; index += used) {
                results[static_cast<std::size_t>(index)] = play(index);
            }
        });
    }
    for (std::thread& each : workers) {
        each.join();
    }
    return results;
}

Tournament::Played Tournament::playOne(const MatchSetup& setup, std::uint64_t matchSeed,
                                       const std::vector<Skill>& skills,
                                       std::uint32_t capTicks) const {
    Match match(setup, matchSeed, std::vector<Driver>(skills.size(), Driver::Computer), arena,
                graph);
    Played result;
    result.seats = match.seatCount();
    for (int seat = 0; seat < result.seats; ++seat) {
        match.setSkill(seat, skills[static_cast<std::size_t>(seat)]);
        result.skills[static_cast<std::size_t>(seat)] = skills[static_cast<std::size_t>(seat)];
    }
    EventList events;
    events.reserve(256);
    while (match.outcome().running() && match.state.tick < capTicks) {
        events.clear();
        match.step({}, events);
        for (int seat = 0; seat < result.seats; ++seat) {
            result.watches[static_cast<std::size_t>(seat)].observe(match, seat, events);
        }
    }
    const Outcome outcome = match.outcome();
    result.winner = outcome.kind == Outcome::Kind::Won ? outcome.seat : kNoSeat;
    result.seconds = static_cast<float>(match.state.tick) * Match::kTickSeconds;
    for (int seat = 0; seat < result.seats; ++seat) {
        result.frags[static_cast<std::size_t>(seat)] = match.seat(seat).frags;
    }
    return result;
}

void Tournament::count(const Played& match, bool battle) {
    ++played;
    for (int seat = 0; seat < match.seats; ++seat) {
        const auto at = static_cast<std::size_t>(seat);
        Tally& tally = counted[static_cast<std::size_t>(match.skills[at])];
        const SeatWatch& watch = match.watches[at];
        tally.shots += watch.shots;
        tally.blindShots += watch.blindShots;
        tally.hits += watch.hits;
        tally.longestStuck = std::max(tally.longestStuck, watch.longestStuck);
        tally.stuckSpells += watch.stuckSpells;
        if (battle) {
            tally.frags += match.frags[at];
            tally.battleSeats += 1;
        } else {
            tally.duels += 1;
            tally.climbs += watch.climbed ? 1 : 0;
        }
    }
}

Tournament::Pairing Tournament::duels(Skill first, Skill second, int matches) {
    const auto capTicks = static_cast<std::uint32_t>(capSeconds * Match::kTicksPerSecond);
    const MatchSetup setup = MatchSetup::duel(rules);
    const std::vector<Played> results = playAll(matches, [&](int index) {
        // Every other match the first skill takes the second seat.
        const bool swapped = index % 2 == 1;
        const std::vector<Skill> skills =
            swapped ? std::vector<Skill>{second, first} : std::vector<Skill>{first, second};
        return playOne(setup, seed + static_cast<std::uint64_t>(index), skills, capTicks);
    });
    Pairing pairing{first, second, 0, 0, 0, 0.0};
    for (int index = 0; index < matches; ++index) {
        const Played& match = results[static_cast<std::size_t>(index)];
        const bool swapped = index % 2 == 1;
        if (match.winner == kNoSeat) {
            ++pairing.draws;
        } else if ((match.winner == 0) != swapped) {
            ++pairing.firstWins;
        } else {
            ++pairing.secondWins;
        }
        pairing.meanSeconds += match.seconds;
        count(match, false);
    }
    pairing.meanSeconds /= std::max(matches, 1);
    return pairing;
}

void Tournament::battles(const std::vector<Skill>& skills, int battlesToPlay) {
    // Every tank for itself.
    const MatchSetup setup = MatchSetup::battle(static_cast<int>(skills.size()));
    const auto capTicks =
        static_cast<std::uint32_t>(setup.timeLimitSeconds) * Match::kTicksPerSecond;
    const std::vector<Played> results = playAll(battlesToPlay, [&](int index) {
        std::vector<Skill> seated(skills.size());
        for (std::size_t seat = 0; seat < skills.size(); ++seat) {
            seated[seat] = skills[(seat + static_cast<std::size_t>(index)) % skills.size()];
        }
        return playOne(setup, seed + static_cast<std::uint64_t>(index), seated, capTicks + 1);
    });
    for (const Played& battle : results) {
        count(battle, true);
    }
}
