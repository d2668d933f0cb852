// A short run of the tournament on each shipped arena: the Ace beats the Rookie in at least
// four duels of five there too, and no skill sticks.
#include "Tournament.h"

#include "assets/ArenaFile.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

constexpr std::uint64_t kSeed = 323232;
constexpr int kMatches = 20;
constexpr float kCapSeconds = 300.0f;

class ArenaLadderTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ArenaLadderTest, TheAceBeatsTheRookieAndNoSkillSticks) {
    std::ostringstream errors;
    Arena arena =
        ArenaFile::load(std::string("../Brakkel_game/Arenas/") + GetParam() + ".toml", errors);
    ASSERT_EQ(errors.str(), "");
    Tournament tournament(kSeed, Rules::Duel, kCapSeconds, 1, std::move(arena));
    const Tournament::Pairing result = tournament.duels(Skill::Ace, Skill::Rookie, kMatches);
    std::cout << GetParam() << ": ace " << result.firstWins << " wins, rookie " << result.secondWins
              << " wins, " << result.draws << " draws, mean " << result.meanSeconds << " s"
              << std::endl;
    EXPECT_GE(result.firstWins, kMatches * 8 / 10);
    for (const Skill skill : {Skill::Ace, Skill::Rookie}) {
        EXPECT_EQ(tournament.tallies()[static_cast<std::size_t>(skill)].stuckSpells, 0)
            << skillName(skill);
    }
}

INSTANTIATE_TEST_SUITE_P(Arenas, ArenaLadderTest, ::testing::Values("pillars", "towers", "maze"));

} // namespace
