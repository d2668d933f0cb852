// The duel rules: a reload after every shot, and no life lost to a shell that lands within the
// grace after a hit. Under the classic rules the same play goes as it always has.
#include "Scenario.h"

#include "GameFixtures.h"

#include "game/BodySizes.h"
#include "game/Match.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Six seconds of the first seat clicking ten times a second; the ticks it fired in.
std::vector<int> clickingForSixSeconds(Rules rules) {
    Match match(MatchSetup::duel(), 3u, {Driver::Human, Driver::Human}, openGround());
    match.state.rules = rules;
    std::vector<int> shots;
    EventList events;
    for (int tick = 0; tick < 360; ++tick) {
        SeatCommands commands;
        commands[0].fire = tick % 6 < 3;
        events.clear();
        match.step(commands, events);
        for (const GameEvent& event : events) {
            if (event.type == GameEventType::Shot) {
                shots.push_back(tick);
            }
        }
    }
    return shots;
}

TEST(DuelRulesTest, ClickingTenTimesASecondFiresOneShellEveryReload) {
    const std::vector<int> duel = clickingForSixSeconds(Rules::Duel);
    EXPECT_EQ(duel, (std::vector<int>{0, 102, 204, 306})) << "one shell per 1.7 s";
    EXPECT_EQ(clickingForSixSeconds(Rules::Classic).size(), 60u) << "one shell per click";
}

// A shell fired from afar, and one fired close by as soon as the gun has reloaded: the second
// lands within the grace of the first hit.
int livesLostToTwoShells(Rules rules) {
    Match match(MatchSetup::duel(), 3u, {Driver::Human, Driver::Human}, openGround());
    match.state.rules = rules;
    Tank& shooter = match.tank(0);
    Tank& target = match.tank(1);
    placeTank(target, glm::vec3(0.0f, 0.045f, -20.0f));
    placeTank(shooter, glm::vec3(0.0f, 0.045f, 12.0f)); // facing −Z, 32 units off
    EventList events;
    for (int tick = 0; tick < 200; ++tick) {
        if (tick == Match::kReloadTicks) {
            placeTank(shooter, glm::vec3(0.0f, 0.045f, -16.0f));
        }
        SeatCommands commands;
        commands[0].fire = tick == 0 || tick == Match::kReloadTicks;
        events.clear();
        match.step(commands, events);
    }
    return 5 - target.lives;
}

TEST(DuelRulesTest, AShellWithinTheGraceOfAHitCostsNoLife) {
    EXPECT_EQ(livesLostToTwoShells(Rules::Duel), 1);
    EXPECT_EQ(livesLostToTwoShells(Rules::Classic), 2);
}

} // namespace
