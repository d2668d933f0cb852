#pragma once

#include "SeatWatch.h"

#include "game/MatchSetup.h"
#include "game/NavGraph.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Headless matches between the computer's skills on the real rules and an arena, as fast as the
// machine steps them: duels of one skill against another, the seats swapped in every other
// match, each stopped as a draw at a cap of game time; and battles of mixed skills. Besides who
// wins, it counts for each skill what its seats did (SeatWatch). Match i of a run is seeded
// with the run's seed plus i, so a run repeats exactly, however many threads play it.
class Tournament {
public:
    struct Pairing {
        Skill first = Skill::Classic;
        Skill second = Skill::Classic;
        int firstWins = 0;
        int secondWins = 0;
        int draws = 0;
        double meanSeconds = 0.0; // of game time a match
    };
    // What the seats of one skill did, summed over every match it played.
    struct Tally {
        long shots = 0;
        long blindShots = 0;
        long hits = 0;
        int duels = 0;
        int climbs = 0; // duels in which it stood on a higher floor than it started on
        float longestStuck = 0.0f;
        int stuckSpells = 0;
        long frags = 0; // in battles
        int battleSeats = 0;
    };

    Tournament(std::uint64_t seed, Rules rules, float capSeconds, int threads,
               Arena arena = Arena::standard());

    // matches duels of first against second.
    Pairing duels(Skill first, Skill second, int matches);
    // count battles of one tank of each skill listed, the skills moving round the seats from one
    // battle to the next.
    void battles(const std::vector<Skill>& skills, int count);

    const std::array<Tally, kSkillCount>& tallies() const { return counted; }
    int matchesPlayed() const { return played; }

private:
    struct Played {
        int winner = kNoSeat; // the seat, kNoSeat for a draw
        float seconds = 0.0f;
        int seats = 0;
        std::array<Skill, MatchSetup::kMaxSeats> skills{};
        std::array<SeatWatch, MatchSetup::kMaxSeats> watches{};
        std::array<int, MatchSetup::kMaxSeats> frags{};
    };
    // Plays every index of count on the threads, each with play(index).
    template <typename Play> std::vector<Played> playAll(int count, Play play) const;
    Played playOne(const MatchSetup& setup, std::uint64_t seed, const std::vector<Skill>& skills,
                   std::uint32_t capTicks) const;
    void count(const Played& match, bool battle);

    std::uint64_t seed;
    Rules rules;
    float capSeconds;
    int threads;
    Arena arena;
    std::shared_ptr<const NavGraph> graph;
    std::array<Tally, kSkillCount> counted{};
    int played = 0;
};
