// The computer's skills played against each other, headless, on the real rules and arena.
//
//   brakkel_tournament [--first SKILL --second SKILL] [--matches N] [--seed S]
//                      [--rules classic|duel] [--cap SECONDS] [--threads N]
//   brakkel_tournament --mode battle [--tanks N] [--matches N] [--seed S] [--threads N]
//
// Duels print one line per pairing, "A N wins, B M wins, D draws, mean T s" (the ladder's five
// pairings when no two skills are named), then what each skill's seats did. Battles give the
// tanks the skills in turn and print each skill's frags.
#include "Tournament.h"

#include "assets/ArenaFile.h"
#include "game/Skill.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {
constexpr int kExitUsage = 2;
constexpr double kPercent = 100.0;
constexpr double kSecondsPerMinute = 60.0;

// The ladder: each pairing's first skill is the one expected to win.
const std::vector<std::pair<Skill, Skill>> kLadder{{Skill::Ace, Skill::Classic},
                                                   {Skill::Veteran, Skill::Classic},
                                                   {Skill::Ace, Skill::Veteran},
                                                   {Skill::Veteran, Skill::Rookie},
                                                   {Skill::Rookie, Skill::Classic}};

double share(long part, long whole) {
    return whole > 0 ? kPercent * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

void printTallies(const Tournament& tournament, bool battle) {
    for (int index = 0; index < kSkillCount; ++index) {
        const Tournament::Tally& tally = tournament.tallies()[static_cast<std::size_t>(index)];
        if (tally.duels == 0 && tally.battleSeats == 0) {
            continue;
        }
        const char* name = skillName(static_cast<Skill>(index));
        std::printf("%s: %ld shots, %.1f %% with no line to an enemy, %.1f %% hit", name,
                    tally.shots, share(tally.blindShots, tally.shots),
                    share(tally.hits, tally.shots));
        if (battle) {
            std::printf("; %.2f frags a tank a battle",
                        static_cast<double>(tally.frags) / tally.battleSeats);
        } else {
            std::printf("; on the raised level in %.1f %% of duels",
                        share(tally.climbs, tally.duels));
        }
        std::printf("; stuck %.1f s at the longest, %d spells over %.0f s\n", tally.longestStuck,
                    tally.stuckSpells, SeatWatch::kStuckSeconds);
    }
}
} // namespace

int main(int argc, char** argv) {
    CLI::App app("The computer's skills played against each other, headless", "brakkel_tournament");
    int matches = 200;
    std::uint64_t seed = 1;
    std::string rules = "duel";
    std::string mode = "duel";
    int tanks = 8;
    float cap = 300.0f;
    int threads = 1;
    std::string firstName;
    std::string secondName;
    const auto skillNames =
        CLI::IsMember({"classic", "rookie", "veteran", "ace"}, CLI::ignore_case);
    CLI::Option* firstOption =
        app.add_option("--first", firstName, "a skill: classic, rookie, veteran or ace")
            ->type_name("SKILL")
            ->transform(skillNames);
    CLI::Option* secondOption = app.add_option("--second", secondName, "the skill it plays")
                                    ->type_name("SKILL")
                                    ->transform(skillNames);
    firstOption->needs(secondOption);
    secondOption->needs(firstOption);
    app.add_option("--matches", matches, "matches per pairing, or battles (default 200)")
        ->check(CLI::Range(1, 100000));
    app.add_option("--seed", seed, "the first match's seed; match i plays seed + i (default 1)");
    app.add_option("--rules", rules, "a duel's rules: duel (the default) or classic")
        ->check(CLI::IsMember({"classic", "duel"}));
    app.add_option("--mode", mode, "duel (the default) or battle")
        ->check(CLI::IsMember({"duel", "battle"}));
    app.add_option("--tanks", tanks, "a battle's tanks, their skills in turn (default 8)")
        ->check(CLI::Range(2, 8));
    app.add_option("--cap", cap,
                   "seconds of game time a duel may last before it is drawn "
                   "(default 300)")
        ->check(CLI::Range(1.0f, 3600.0f));
    app.add_option("--threads", threads, "matches played at once (default 1)")
        ->check(CLI::Range(1, 64));
    std::string arenaPath;
    app.add_option("--arena", arenaPath, "the arena file to play on (default the built-in one)")
        ->type_name("FILE");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : kExitUsage;
    }

    Skill first = Skill::Classic;
    Skill second = Skill::Classic;
    parseSkill(firstName, first);
    parseSkill(secondName, second);
    const auto started = std::chrono::steady_clock::now();
    std::ostringstream arenaFault;
    Arena arena = arenaPath.empty() ? Arena::standard() : ArenaFile::load(arenaPath, arenaFault);
    if (!arenaFault.str().empty()) {
        std::fprintf(stderr, "%s", arenaFault.str().c_str());
        return kExitUsage;
    }
    std::printf("Arena: %s\n", arena.name.c_str());
    Tournament tournament(seed, rules == "classic" ? Rules::Classic : Rules::Duel, cap, threads,
                          std::move(arena));
    const bool battle = mode == "battle";
    if (battle) {
        std::vector<Skill> skills;
        for (int seat = 0; seat < tanks; ++seat) {
            skills.push_back(static_cast<Skill>(seat % kSkillCount));
        }
        tournament.battles(skills, matches);
    } else {
        const std::vector<std::pair<Skill, Skill>> pairings =
            firstOption->count() > 0 ? std::vector<std::pair<Skill, Skill>>{{first, second}}
                                     : kLadder;
        for (const auto& [a, b] : pairings) {
            const Tournament::Pairing result = tournament.duels(a, b, matches);
            std::printf("%s %d wins, %s %d wins, %d draws, mean %.1f s\n", skillName(a),
                        result.firstWins, skillName(b), result.secondWins, result.draws,
                        result.meanSeconds);
            std::fflush(stdout);
        }
    }
    printTallies(tournament, battle);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%d %s in %.1f s: %.0f a minute\n", tournament.matchesPlayed(),
                battle ? "battles" : "matches", seconds,
                tournament.matchesPlayed() * kSecondsPerMinute / seconds);
    return 0;
}
