// The match as a plain value: the same seed and commands give the same state bit for bit, a
// state restored into another match continues alike, and the rules treat both seats alike.
#include "Scenario.h"

#include "GameFixtures.h"

#include "game/Angles.h"
#include "game/BodySizes.h"
#include "game/Match.h"
#include "game/StateCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t kSeed = 2026u;

// The first seat's commands: drive and turn, the turret swept, a jump and shots now and then.
TankCommand scripted(int tick, float turretHeading) {
    TankCommand command;
    command.drive = static_cast<std::int16_t>(tick % 400 < 250 ? 200 : -200);
    command.turn =
        static_cast<std::int16_t>(tick % 300 < 100 ? 10000 : (tick % 300 < 150 ? -6000 : 0));
    command.aim = TankCommand::aimOf(turretHeading + (tick % 200 < 100 ? 1.0f : -1.0f));
    command.jump = tick % 170 == 0;
    command.fire = tick % 45 < 2;
    return command;
}

void play(Match& match, int from, int to) {
    EventList events;
    for (int tick = from; tick < to; ++tick) {
        events.clear();
        match.step({scripted(tick, match.tank(0).turretHeading), {}}, events);
    }
}

std::vector<std::uint8_t> bytesOf(const MatchState& state) {
    std::vector<std::uint8_t> bytes;
    state_codec::write(state, bytes);
    return bytes;
}

TEST(DeterminismTest, SameSeedAndCommandsGiveTheSameStateAndACopyContinuesAlike) {
    Match first(kSeed);
    Match second(kSeed);
    play(first, 0, 1500);
    play(second, 0, 1500);
    ASSERT_EQ(bytesOf(first.state), bytesOf(second.state));

    // A copy taken half-way, restored into a match built with another seed.
    Match restored(kSeed + 1);
    ASSERT_NE(state_codec::hash(restored.state), state_codec::hash(first.state));
    restored.restore(first.state);
    play(first, 1500, 3000);
    play(restored, 1500, 3000);
    EXPECT_EQ(first.state.tick, 3000u);
    EXPECT_EQ(state_codec::hash(restored.state), state_codec::hash(first.state));
    EXPECT_EQ(bytesOf(restored.state), bytesOf(first.state));
    EXPECT_GT(first.state.bullets.bullets.size() + 5 - first.tank(1).lives, 0u)
        << "the script played: shots were fired";

    // Its stable form reads back to the same state.
    const std::vector<std::uint8_t> bytes = bytesOf(first.state);
    Match read(kSeed + 7);
    ByteReader reader(bytes.data(), bytes.size());
    ASSERT_TRUE(state_codec::read(reader, read.state));
    EXPECT_EQ(bytesOf(read.state), bytes);
}

// Two tanks on open ground facing each other from the game's starts, which lie half a turn
// apart about the middle: each seat's command is the other's, aim turned half a turn.
TankCommand turnedAbout(TankCommand command) {
    command.aim += 1u << 31; // half a turn
    return command;
}

// Relabels the seats of a state: the first seat's tank, driver and controller become the
// second's and the other way round, the bullets change owners and keep the order they would
// have had (oldest first, the first seat's first among those fired together).
MatchState relabelled(const MatchState& state) {
    MatchState swapped = state;
    std::swap(swapped.seats[0], swapped.seats[1]);
    std::vector<Bullet>& bullets = swapped.bullets.bullets;
    for (Bullet& bullet : bullets) {
        bullet.owner = 1 - bullet.owner;
    }
    std::stable_sort(bullets.begin(), bullets.end(), [](const Bullet& a, const Bullet& b) {
        return a.age != b.age ? a.age > b.age : a.owner < b.owner;
    });
    return swapped;
}

TEST(DeterminismTest, MirroredSeatsPlayAlikeAndSwappedSeatsGiveTheSameState) {
    constexpr int kTicks = 900;
    Match match(MatchSetup::duel(), kSeed, {Driver::Human, Driver::Human}, openGround());
    const MatchState start = match.state;
    std::vector<SeatCommands> played;
    std::vector<int> hitTicks[2];
    int contacts = 0;
    EventList events;
    for (int tick = 0; tick < kTicks; ++tick) {
        // Forward into each other, turrets aimed at each other, turning against each other
        // nose to nose for a while; both fire at once now and then; later they drive apart,
        // turn and come back.
        TankCommand command;
        command.drive = static_cast<std::int16_t>(tick < 300 || tick > 600 ? 200 : -120);
        command.turn = static_cast<std::int16_t>(
            (tick > 200 && tick < 260) || (tick > 450 && tick < 520) ? 9000 : 0);
        command.aim = TankCommand::aimOf(match.tank(0).turretHeading);
        command.fire = tick % 90 == 10;
        const SeatCommands commands{command, turnedAbout(command)};
        played.push_back(commands);
        events.clear();
        match.step(commands, events);
        for (const GameEvent& event : events) {
            if (event.type == GameEventType::TankHit) {
                hitTicks[event.seat].push_back(tick);
            }
            contacts += event.type == GameEventType::Log;
        }
        const Tank& a = match.tank(0);
        const Tank& b = match.tank(1);
        SCOPED_TRACE(tick);
        ASSERT_NEAR(a.position.x, -b.position.x, 1e-4f);
        ASSERT_NEAR(a.position.y, b.position.y, 1e-4f);
        ASSERT_NEAR(a.position.z, -b.position.z, 1e-4f);
        ASSERT_NEAR(headingDifference(a.heading + 180.0f, b.heading), 0.0f, 1e-4f);
        ASSERT_NEAR(a.speed, b.speed, 1e-4f);
        ASSERT_EQ(a.lives, b.lives);
    }
    EXPECT_GT(contacts, 0) << "the tanks met head-on";
    ASSERT_FALSE(hitTicks[0].empty());
    EXPECT_EQ(hitTicks[0], hitTicks[1]) << "shots fired together hit together";

    // The same game with the seats swapped: their starts, their commands.
    Match swapped(MatchSetup::duel(), kSeed, {Driver::Human, Driver::Human}, openGround());
    swapped.restore(relabelled(start));
    for (const SeatCommands& commands : played) {
        events.clear();
        swapped.step({commands[1], commands[0]}, events);
    }
    EXPECT_EQ(state_codec::hash(relabelled(swapped.state)), state_codec::hash(match.state));
}

} // namespace

namespace {

std::unique_ptr<Match> skilledDuel(std::uint64_t seed, Skill first, Skill second) {
    auto match = std::make_unique<Match>(MatchSetup::duel(Rules::Duel), seed,
                                         std::vector<Driver>{Driver::Computer, Driver::Computer});
    match->setSkill(0, first);
    match->setSkill(1, second);
    return match;
}

void playAlone(Match& match, int ticks) {
    EventList events;
    for (int tick = 0; tick < ticks; ++tick) {
        events.clear();
        match.step({}, events);
    }
}

TEST(DeterminismTest, SkilledDriversPlayAlikeFromOneSeedAndFromACopyOfTheirState) {
    auto first = skilledDuel(kSeed, Skill::Ace, Skill::Veteran);
    auto second = skilledDuel(kSeed, Skill::Ace, Skill::Veteran);
    playAlone(*first, 900);
    playAlone(*second, 900);
    ASSERT_EQ(bytesOf(first->state), bytesOf(second->state));
    EXPECT_NE(first->seat(0).skilled.awareness.contact(1).lastTick, 0u) << "they met";

    // Restored into a match of other seeds and skills, it goes on as the first.
    auto restored = skilledDuel(kSeed + 3, Skill::Rookie, Skill::Rookie);
    restored->restore(first->state);
    playAlone(*first, 900);
    playAlone(*restored, 900);
    EXPECT_EQ(state_codec::hash(restored->state), state_codec::hash(first->state));

    // Its stable form reads back to the same state.
    const std::vector<std::uint8_t> bytes = bytesOf(first->state);
    Match read(kSeed + 7);
    ByteReader reader(bytes.data(), bytes.size());
    ASSERT_TRUE(state_codec::read(reader, read.state));
    EXPECT_EQ(bytesOf(read.state), bytes);
}

// Whether the stable form of state reads back.
bool readsBack(const MatchState& state) {
    const std::vector<std::uint8_t> bytes = bytesOf(state);
    MatchState into = state;
    ByteReader reader(bytes.data(), bytes.size());
    return state_codec::read(reader, into);
}

TEST(DeterminismTest, AControllerStateNamingWhatIsNotThereIsRefusedAndDamageNeverCrashes) {
    auto match = skilledDuel(kSeed, Skill::Ace, Skill::Veteran);
    playAlone(*match, 600);
    ASSERT_TRUE(readsBack(match->state));
    const auto damaged = [&](auto damage) {
        MatchState state = match->state;
        damage(state.seats[1].skilled);
        return readsBack(state);
    };
    EXPECT_FALSE(damaged([](SkilledController& c) { c.target = 2; })) << "a seat of two";
    EXPECT_FALSE(damaged([](SkilledController& c) { c.gunner.aimedAt = -2; }));
    EXPECT_FALSE(damaged([](SkilledController& c) { c.awareness.threat.owner = 8; }));
    EXPECT_FALSE(damaged([](SkilledController& c) { c.follower.path.count = 41; }));
    EXPECT_FALSE(damaged([](SkilledController& c) { c.follower.cursor = -1; }));
    EXPECT_FALSE(damaged([](SkilledController& c) { c.tactic = static_cast<Tactic>(9); }));
    EXPECT_FALSE(
        damaged([](SkilledController& c) { c.follower.stage = static_cast<JumpStage>(6); }));
    EXPECT_TRUE(damaged([](SkilledController& c) { c.target = kNoSeat; }));

    // A way through places the graph has not: dropped on restoring, and the match plays on.
    MatchState lost = match->state;
    lost.seats[1].skilled.follower.path.nodes[0] = 30000;
    lost.seats[1].skilled.follower.path.count = 3;
    ASSERT_TRUE(readsBack(lost));
    match->restore(lost);
    EXPECT_TRUE(match->seat(1).skilled.follower.path.empty());
    playAlone(*match, 60);
    lost = match->state;
    lost.seats[0].skilled.follower.goal = 30000;
    match->restore(lost);
    EXPECT_EQ(match->seat(0).skilled.follower.goal, NavGraph::kNoNode) << "nor a goal past them";
    playAlone(*match, 60);

    // Any byte changed: read or refused, and a state read plays on.
    const std::vector<std::uint8_t> bytes = bytesOf(match->state);
    auto replay = skilledDuel(kSeed, Skill::Ace, Skill::Veteran);
    std::uint32_t draw = 12345;
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<std::uint8_t> changed = bytes;
        draw = draw * 1664525u + 1013904223u;
        changed[draw % changed.size()] ^= static_cast<std::uint8_t>(1u + (draw >> 24) % 255u);
        MatchState into = match->state;
        ByteReader reader(changed.data(), changed.size());
        if (state_codec::read(reader, into)) {
            replay->restore(into);
            playAlone(*replay, 5);
        }
    }
}

} // namespace
