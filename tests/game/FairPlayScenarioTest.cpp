// What the skilled computer may know and how well it shoots: it takes in nothing of an enemy it
// neither sees nor hears, hears a shot behind a block and forgets it in time, dodges a bullet it
// sees coming, misses a tank crossing its view at speed often enough, and drives within a
// person's powers.
#include "Scenario.h"

#include "GameFixtures.h"

#include "game/Angles.h"
#include "game/ControllerView.h"
#include "game/Match.h"
#include "game/StateCodec.h"

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <limits>

namespace {

constexpr int kSecond = 60; // ticks
constexpr float kEyeHeight = 0.45f;
constexpr float kBodyHeight = 0.25f;
constexpr float kTouching = 3.0f; // units between two tanks' middles past which they cannot touch

float groundDistance(glm::vec3 a, glm::vec3 b) {
    return glm::length(glm::vec2(a.x - b.x, a.z - b.z));
}

// Whether the tank at `at` is out of everything a controller of figures at `eye` may perceive:
// too far to see or hear it at all, or hidden by a piece and too far to hear its engine or feel
// it. Its shots are the bullets', which stay where they are.
bool beyondPerception(const Arena& arena, const SkillFigures& figures, const Tank& viewer,
                      glm::vec3 at) {
    const float distance = groundDistance(viewer.position, at);
    const float hearing = std::max(figures.engineHearing, kTouching);
    if (distance > std::max(figures.viewRange, hearing)) {
        return true;
    }
    const bool hidden = arena.firstObstacle(viewer.position + glm::vec3(0.0f, kEyeHeight, 0.0f),
                                            at + glm::vec3(0.0f, kBodyHeight, 0.0f)) < 1.0f;
    return hidden && distance > hearing;
}

// The command of the seat's skilled controller for the next tick of state, and the controller
// as it leaves it; the controller given is not changed.
TankCommand commandOf(const Match& match, const MatchState& state, int seat,
                      SkilledController& controller) {
    MatchState next = state;
    next.tick += 1;
    PathSearch search(*match.navigation());
    const ControllerView view{
        next,   match.arena, *match.navigation(),
        search, seat,        skillFigures(state.seats[static_cast<std::size_t>(seat)].skill)};
    return controller.command(view);
}

std::vector<std::uint8_t> bytesOf(const MatchState& state) {
    std::vector<std::uint8_t> bytes;
    state_codec::write(state, bytes);
    return bytes;
}

TEST(FairPlayScenarioTest, MovingAnEnemyItNeitherSeesNorHearsChangesNothingItDoes) {
    // An Ace against a Veteran on the game's arena; in every tick the Ace perceives nothing of
    // the Veteran, the Veteran is put somewhere else it cannot perceive either.
    Match match(MatchSetup::duel(Rules::Duel), 31u, {Driver::Computer, Driver::Computer});
    match.setSkill(0, Skill::Ace);
    match.setSkill(1, Skill::Veteran);
    const NavGraph& graph = *match.navigation();
    const SkillFigures& ace = skillFigures(Skill::Ace);
    EventList events;
    int compared = 0;
    for (int tick = 0; tick < 60 * kSecond && match.outcome().running(); ++tick) {
        const Tank& own = match.tank(0);
        const Tank& enemy = match.tank(1);
        if (beyondPerception(match.arena, ace, own, enemy.position)) {
            // The place beyond perception farthest from where it is.
            int elsewhere = NavGraph::kNoNode;
            float farthest = 0.0f;
            for (int place = 0; place < graph.size(); ++place) {
                const glm::vec3 spot = graph.node(place).position;
                const float away = groundDistance(spot, enemy.position);
                if (away > farthest && beyondPerception(match.arena, ace, own, spot)) {
                    elsewhere = place;
                    farthest = away;
                }
            }
            ASSERT_NE(elsewhere, NavGraph::kNoNode);
            MatchState moved = match.state;
            Tank& movedEnemy = moved.seats[1].tank;
            const glm::vec3 spot = graph.node(elsewhere).position;
            movedEnemy.position = glm::vec3(spot.x, spot.y + 0.01f, spot.z);
            movedEnemy.heading += 90.0f;
            movedEnemy.turretHeading -= 45.0f;
            movedEnemy.updateTransform();
            SkilledController here = match.seat(0).skilled;
            SkilledController there = match.seat(0).skilled;
            const TankCommand asHere = commandOf(match, match.state, 0, here);
            const TankCommand asThere = commandOf(match, moved, 0, there);
            SCOPED_TRACE(tick);
            ASSERT_EQ(asHere, asThere);
            MatchState afterHere = match.state;
            MatchState afterThere = match.state;
            afterHere.seats[0].skilled = here;
            afterThere.seats[0].skilled = there;
            ASSERT_EQ(bytesOf(afterHere), bytesOf(afterThere)) << "what it keeps, alike";
            ++compared;
        }
        events.clear();
        match.step({}, events);
    }
    std::cout << compared << " ticks with the enemy beyond perception, each moved away"
              << std::endl;
    EXPECT_GT(compared, 5 * kSecond);
}

TEST(FairPlayScenarioTest, AShotBehindTheBlockIsHeardAndForgottenInTime) {
    // A Veteran held at the second place; a person behind the middle block fires once, away
    // from it, and stands still.
    Match match(MatchSetup::duel(Rules::Duel), 5u, {Driver::Human, Driver::Computer});
    match.setSkill(1, Skill::Veteran);
    const SkillFigures& veteran = skillFigures(Skill::Veteran);
    const glm::vec3 hold = match.tank(1).position;
    const glm::vec3 shooter = match.tank(0).position;
    int heardAt = -1;
    int forgottenAt = -1;
    EventList events;
    for (int tick = 0; tick < 20 * kSecond && forgottenAt < 0; ++tick) {
        SeatCommands commands{};
        commands[0].aim = TankCommand::aimOf(270.0f);
        commands[0].fire = tick == kSecond;
        events.clear();
        match.step(commands, events);
        Tank& held = match.tank(1);
        held.position = glm::vec3(hold.x, held.position.y, hold.z);
        held.speed = 0.0f;
        held.updateTransform();
        const Contact& heard = match.seat(1).skilled.awareness.contact(0);
        if (heardAt < 0 && heard.known()) {
            heardAt = tick;
            EXPECT_LT(groundDistance(heard.position, shooter), 0.1f) << "where the shot was";
            EXPECT_FALSE(heard.seen) << "behind the block";
        }
        if (heardAt >= 0 && !heard.known()) {
            forgottenAt = tick;
        }
    }
    EXPECT_EQ(heardAt, kSecond + 1) << "in the tick after the shot";
    const float remembered = static_cast<float>(forgottenAt - heardAt) / kSecond;
    EXPECT_NEAR(remembered, veteran.memorySeconds, 0.05f);
}

// A person's shot every two seconds at a computer tank held 14 units ahead, facing it: how many
// of twenty hit.
int hitsOnATankHeldInTheOpen(Skill skill) {
    Match match(MatchSetup::duel(Rules::Classic), 9u, {Driver::Computer, Driver::Human},
                openGround());
    match.setSkill(0, skill);
    const float floor = match.arena.floorAt(0.0f, 0.0f);
    match.tank(0).placeAt(glm::vec3(0.0f, 0.0f, 0.0f), 0.0f, floor);
    match.tank(1).placeAt(glm::vec3(0.0f, 0.0f, -14.0f), 180.0f, floor);
    int hits = 0;
    EventList events;
    for (int tick = 0; tick < 40 * kSecond; ++tick) {
        SeatCommands commands{};
        commands[1].aim = TankCommand::aimOf(180.0f);
        commands[1].fire = tick % (2 * kSecond) == kSecond;
        events.clear();
        match.step(commands, events);
        for (const GameEvent& event : events) {
            hits += event.type == GameEventType::TankHit && event.seat == 0 ? 1 : 0;
        }
        Tank& held = match.tank(0);
        held.position = glm::vec3(0.0f, held.position.y, 0.0f);
        held.speed = 0.0f;
        held.updateTransform();
        match.tank(1).lives = match.tank(1).initialLives;
        match.tank(0).lives = match.tank(0).initialLives;
    }
    return hits;
}

TEST(FairPlayScenarioTest, ItDodgesABulletItSeesComingAsOftenAsItsSkill) {
    const int rookie = hitsOnATankHeldInTheOpen(Skill::Rookie);
    const int veteran = hitsOnATankHeldInTheOpen(Skill::Veteran);
    const int ace = hitsOnATankHeldInTheOpen(Skill::Ace);
    std::cout << "of 20 shots from 14 units, hits on a Rookie " << rookie << ", a Veteran "
              << veteran << ", an Ace " << ace << std::endl;
    EXPECT_GE(rookie, 18) << "a Rookie does not dodge";
    EXPECT_LT(veteran, 16);
    EXPECT_LE(ace, 8);
    EXPECT_GT(ace, 0) << "an Ace is no dodging machine either";
}

// A computer tank held in the open, a person's tank crossing its view at full speed 20 units
// ahead, back and forth: the share of its shots that hit, and how many it fired.
struct Strafing {
    int shots = 0;
    int hits = 0;
    float share() const { return shots > 0 ? static_cast<float>(hits) / shots : 0.0f; }
};

Strafing strafedAt(Skill skill) {
    constexpr float kRange = 20.0f;
    constexpr float kCrossing = 25.0f; // units either side
    Match match(MatchSetup::duel(Rules::Classic), 7u, {Driver::Computer, Driver::Human},
                openGround());
    match.setSkill(0, skill);
    const float floor = match.arena.floorAt(0.0f, 0.0f);
    Tank& shooter = match.tank(0);
    Tank& target = match.tank(1);
    shooter.placeAt(glm::vec3(0.0f), 0.0f, floor);
    Strafing strafing;
    EventList events;
    for (int pass = 0; pass < 40; ++pass) {
        const bool east = pass % 2 == 0;
        target.placeAt(glm::vec3(east ? -kCrossing : kCrossing, 0.0f, -kRange),
                       east ? 270.0f : 90.0f, floor);
        target.speed = -4.8f; // at full speed already
        while (std::abs(target.position.x) <= kCrossing) {
            SeatCommands commands{};
            commands[1].drive = TankCommand::kFullDrive;
            commands[1].aim = TankCommand::aimOf(target.turretHeading);
            events.clear();
            match.step(commands, events);
            shooter.position = glm::vec3(0.0f, shooter.position.y, 0.0f);
            shooter.speed = 0.0f;
            shooter.updateTransform();
            target.lives = target.initialLives;
            for (const GameEvent& event : events) {
                strafing.shots += event.type == GameEventType::Shot && event.seat == 0 ? 1 : 0;
                strafing.hits += event.type == GameEventType::TankHit && event.seat == 1 ? 1 : 0;
            }
        }
    }
    return strafing;
}

TEST(FairPlayScenarioTest, ATankCrossingItsViewAtSpeedTwentyUnitsAwayIsMissedOftenEnough) {
    const Strafing veteran = strafedAt(Skill::Veteran);
    const Strafing ace = strafedAt(Skill::Ace);
    std::cout << "hit rate on a tank crossing at full speed 20 units away: Veteran " << veteran.hits
              << " of " << veteran.shots << " (" << 100.0f * veteran.share() << " %), Ace "
              << ace.hits << " of " << ace.shots << " (" << 100.0f * ace.share()
              << " %); a Rookie does not fire that far" << std::endl;
    EXPECT_GT(ace.shots, 100);
    EXPECT_LE(ace.share(), 0.6f) << "no aimbot";
    EXPECT_GT(ace.share(), 0.3f) << "but it leads its target";
    EXPECT_LT(veteran.share(), ace.share());
    EXPECT_EQ(strafedAt(Skill::Rookie).shots, 0);
}

TEST(FairPlayScenarioTest, ASkilledComputerDrivesWithinThePowersOfAPersonsKeys) {
    Match match(MatchSetup::duel(Rules::Duel), 12u, {Driver::Computer, Driver::Computer});
    match.setSkill(0, Skill::Ace);
    const float maxAimStep = Match::kPersonAimDegreesPerSecond * Match::kTickSeconds;
    float widestAimStep = 0.0f;
    float widestTurn = 0.0f;
    EventList events;
    for (int tick = 0; tick < 40 * kSecond && match.outcome().running(); ++tick) {
        const float turretBefore = match.tank(0).turretHeading;
        const float hullBefore = match.tank(0).heading;
        events.clear();
        match.step({}, events);
        // The hull's turn turns the turret too; a blocked move takes the hull's back.
        const float hullTurn = headingDifference(hullBefore, match.tank(0).heading);
        const float aimStep =
            headingDifference(turretBefore, match.tank(0).turretHeading) - hullTurn;
        widestAimStep = std::max(widestAimStep, std::abs(aimStep));
        widestTurn = std::max(widestTurn, std::abs(hullTurn));
        ASSERT_GT(match.tank(0).speed, -5.0f);
    }
    EXPECT_LE(widestAimStep, maxAimStep + 1e-3f) << "the turret turns as the keys turn it";
    EXPECT_LE(widestTurn, maxAimStep + 1e-3f) << "the hull too";
    EXPECT_EQ(match.seat(0).powers(), Powers::Keys);
    EXPECT_EQ(match.seat(1).powers(), Powers::Classic);
    // Classic's turret points straight at its aim; a person's turns towards it.
    TankCommand far;
    far.drive = 215;
    EXPECT_EQ(Match::limited(far, Powers::Classic).drive, 215);
    EXPECT_EQ(Match::limited(far, Powers::Keys).drive, TankCommand::kFullDrive);
}

} // namespace
