// A short run of the skills' tournament with fixed seeds: the ladder's every pairing goes the
// way the full run's margins do, the skilled tanks fire with a line, take the raised level and
// never stick, and in a battle of all four skills the frags rank as the skills do.
#include "Tournament.h"

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr std::uint64_t kSeed = 424242;
constexpr int kMatches = 20;
constexpr int kBattles = 6;
constexpr float kCapSeconds = 300.0f;

const Tournament::Tally& tallyOf(const Tournament& tournament, Skill skill) {
    return tournament.tallies()[static_cast<std::size_t>(skill)];
}

double share(long part, long whole) {
    return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

TEST(LadderTest, EveryPairingGoesTheWayOfItsMarginAndTheSkilledPlayFair) {
    Tournament tournament(kSeed, Rules::Duel, kCapSeconds, 1);
    const auto play = [&](Skill first, Skill second) {
        const Tournament::Pairing result = tournament.duels(first, second, kMatches);
        std::cout << skillName(first) << " " << result.firstWins << " wins, " << skillName(second)
                  << " " << result.secondWins << " wins, " << result.draws << " draws, mean "
                  << result.meanSeconds << " s" << std::endl;
        return result;
    };
    EXPECT_GE(play(Skill::Ace, Skill::Classic).firstWins, kMatches * 8 / 10);
    EXPECT_GE(play(Skill::Veteran, Skill::Classic).firstWins, kMatches * 6 / 10);
    const Tournament::Pairing aceVeteran = play(Skill::Ace, Skill::Veteran);
    EXPECT_GT(aceVeteran.firstWins, aceVeteran.secondWins);
    EXPECT_GE(play(Skill::Veteran, Skill::Rookie).firstWins, kMatches * 7 / 10);
    const Tournament::Pairing rookieClassic = play(Skill::Rookie, Skill::Classic);
    EXPECT_GE(rookieClassic.firstWins, kMatches / 10) << "the gentle one, but it wins some";
    EXPECT_LE(rookieClassic.firstWins, kMatches * 6 / 10);

    for (const Skill skill : {Skill::Veteran, Skill::Ace}) {
        const Tournament::Tally& tally = tallyOf(tournament, skill);
        SCOPED_TRACE(skillName(skill));
        EXPECT_LT(share(tally.blindShots, tally.shots), 0.1) << "fires with a line";
        EXPECT_GE(share(tally.climbs, tally.duels), 0.3) << "takes the raised level";
    }
    for (int skill = 0; skill < kSkillCount; ++skill) {
        const Tournament::Tally& tally = tournament.tallies()[static_cast<std::size_t>(skill)];
        EXPECT_EQ(tally.stuckSpells, 0) << skillName(static_cast<Skill>(skill));
        std::cout << skillName(static_cast<Skill>(skill)) << ": "
                  << 100.0 * share(tally.blindShots, tally.shots)
                  << " % of shots with no line to an enemy; on the raised level in "
                  << 100.0 * share(tally.climbs, tally.duels) << " % of duels; stuck "
                  << tally.longestStuck << " s at the longest" << std::endl;
    }
}

TEST(LadderTest, InABattleOfAllFourSkillsTheFragsRankAsTheSkills) {
    Tournament tournament(kSeed, Rules::Duel, kCapSeconds, 1);
    tournament.battles({Skill::Classic, Skill::Rookie, Skill::Veteran, Skill::Ace, Skill::Classic,
                        Skill::Rookie, Skill::Veteran, Skill::Ace},
                       kBattles);
    std::array<double, kSkillCount> frags{};
    for (int skill = 0; skill < kSkillCount; ++skill) {
        const Tournament::Tally& tally = tournament.tallies()[static_cast<std::size_t>(skill)];
        ASSERT_EQ(tally.battleSeats, 2 * kBattles);
        frags[static_cast<std::size_t>(skill)] =
            static_cast<double>(tally.frags) / tally.battleSeats;
        EXPECT_EQ(tally.stuckSpells, 0) << skillName(static_cast<Skill>(skill));
        std::cout << skillName(static_cast<Skill>(skill)) << ": "
                  << frags[static_cast<std::size_t>(skill)] << " frags a tank a battle"
                  << std::endl;
    }
    const auto of = [&frags](Skill skill) { return frags[static_cast<std::size_t>(skill)]; };
    EXPECT_GT(of(Skill::Ace), of(Skill::Veteran));
    EXPECT_GT(of(Skill::Veteran), of(Skill::Rookie));
    EXPECT_GT(of(Skill::Ace), of(Skill::Classic));
}

} // namespace
