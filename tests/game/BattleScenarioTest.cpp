// Battles on the real arena: the places tanks start at, a tank destroyed and brought back,
// eight seats permuted, and four against four for ten minutes.
#include "GameFixtures.h"

#include "game/Angles.h"
#include "game/Match.h"
#include "game/StateCodec.h"

#include "SeatWatch.h"

#include <gtest/gtest.h>

#include <array>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

constexpr int kSecond = 60;                  // ticks
constexpr float kSightRange = 15.0f;         // units: two new places see each other no closer
constexpr float kTurretHeight = 0.4f;        // units above the floor, where the guns are
constexpr float kLongestStuckSeconds = 3.0f; // while a controller wants to move

bool blocked(const Arena& arena, const Tank& tank) {
    for (const ArenaPiece& piece : arena.pieces) {
        b2Manifold manifold;
        b2CollidePolygons(&manifold, &tank.shape, tank.transform, &piece.shape, piece.transform);
        if (manifold.pointCount > 0 && piece.spans(tank.bottom + 0.02f)) {
            return true;
        }
    }
    return false;
}

glm::vec3 gun(const SpawnPoint& spawn) {
    return glm::vec3(spawn.position.x, spawn.floor + kTurretHeight, spawn.position.z);
}

TEST(BattleScenarioTest, TheArenaHasEightPlacesAndTheNewSixKeepOutOfEachOthersSight) {
    const Arena arena = Arena::standard();
    ASSERT_EQ(arena.spawns.size(), 8u);
    // A duel's, as they have always been: facing each other 10 units apart.
    EXPECT_EQ(arena.spawns[0].position, glm::vec3(0.0f, 0.05f, 5.0f));
    EXPECT_EQ(arena.spawns[0].heading, 0.0f);
    EXPECT_EQ(arena.spawns[1].position, glm::vec3(0.0f, 0.05f, -5.0f));
    EXPECT_EQ(arena.spawns[1].heading, 180.0f);
    for (std::size_t i = 0; i < arena.spawns.size(); ++i) {
        const SpawnPoint& spawn = arena.spawns[i];
        SCOPED_TRACE(i);
        EXPECT_GT(spawn.floor, 0.0f) << "over a ground slab";
        Tank tank(kHullBounds, spawn.position, spawn.heading);
        tank.placeAt(spawn.position, spawn.heading, spawn.floor);
        EXPECT_FALSE(blocked(arena, tank)) << "clear of every piece";
        // Facing into the arena: ten units ahead is over the ground.
        const glm::vec3 ahead = spawn.position + 10.0f * headingDirection(spawn.heading);
        EXPECT_GT(arena.floorAt(ahead.x, ahead.z), 0.0f);
    }
    for (std::size_t i = 2; i < arena.spawns.size(); ++i) {
        for (std::size_t j = i + 1; j < arena.spawns.size(); ++j) {
            const glm::vec3 from = gun(arena.spawns[i]);
            const glm::vec3 to = gun(arena.spawns[j]);
            const bool inSight =
                arena.firstObstacle(from, to) == 1.0f && arena.firstObstacle(to, from) == 1.0f;
            EXPECT_FALSE(inSight && glm::length(to - from) < kSightRange)
                << "places " << i << " and " << j << " are " << glm::length(to - from)
                << " apart in sight of each other";
        }
    }
}

// A battle of people standing still, the first aiming at the second.
class BattleTest : public ::testing::Test {
protected:
    explicit BattleTest(int seats = 3, bool teams = false)
        : match(MatchSetup::battle(seats, teams, 3), 7u,
                std::vector<Driver>(static_cast<std::size_t>(seats), Driver::Human)) {
        events.reserve(64);
    }

    // Stands the second tank 6 units to the first's right, and turns the first's turret on it.
    void lineUp() {
        match.tank(1).placeAt(glm::vec3(6.0f, 0.05f, 5.0f), 90.0f, match.tank(0).groundLevel);
        match.tank(0).turretHeading = 270.0f;
        commands[0].aim = TankCommand::aimOf(270.0f);
    }
    // Ticks until the first seat's shot has landed, firing in the first.
    void fireAndWait(int ticks = kSecond) {
        commands[0].fire = true;
        step();
        commands[0].fire = false;
        for (int tick = 1; tick < ticks; ++tick) {
            step();
        }
    }
    void step() {
        events.clear();
        match.step(commands, events);
        for (const GameEvent& event : events) {
            seen.push_back(event);
            seenAt.push_back(match.state.tick);
        }
    }
    // The tick of the first event of the type seen.
    std::uint32_t tickOf(GameEventType type) const {
        for (std::size_t i = 0; i < seen.size(); ++i) {
            if (seen[i].type == type) {
                return seenAt[i];
            }
        }
        return 0;
    }
    int count(GameEventType type) const {
        return static_cast<int>(std::count_if(
            seen.begin(), seen.end(), [type](const GameEvent& e) { return e.type == type; }));
    }

    Match match;
    SeatCommands commands{};
    EventList events;
    std::vector<GameEvent> seen;
    std::vector<std::uint32_t> seenAt;
};

TEST_F(BattleTest, AHitDestroysScoresAndTheTankComesBackShieldedFarFromItsEnemies) {
    lineUp();
    fireAndWait(10);
    ASSERT_EQ(count(GameEventType::Destroyed), 1);
    const std::uint32_t destroyedAt = tickOf(GameEventType::Destroyed);
    EXPECT_EQ(match.seat(0).frags, 1);
    EXPECT_EQ(match.seat(1).deaths, 1);
    EXPECT_EQ(match.seat(1).frags, 0);
    const Tank& destroyed = match.tank(1);
    EXPECT_FALSE(destroyed.inPlay());
    EXPECT_EQ(destroyed.lives, 5) << "a battle counts no lives";

    // Out of play: shots pass where it stood, and nothing of it collides.
    fireAndWait(30);
    EXPECT_EQ(count(GameEventType::TankHit), 1);
    EXPECT_EQ(match.seat(0).frags, 1);

    // Back after two seconds in all, at the free place farthest from its enemies.
    while (count(GameEventType::Respawn) == 0) {
        ASSERT_LE(match.state.tick, destroyedAt + Match::kRespawnTicks);
        step();
    }
    EXPECT_EQ(tickOf(GameEventType::Respawn), destroyedAt + Match::kRespawnTicks);
    ASSERT_TRUE(destroyed.inPlay());
    const auto nearestEnemy = [this](glm::vec3 place) {
        float nearest = 1e9f;
        for (int seat : {0, 2}) {
            const glm::vec3 at = match.tank(seat).position;
            nearest = std::min(nearest, glm::length(glm::vec2(at.x - place.x, at.z - place.z)));
        }
        return nearest;
    };
    const glm::vec3 back = destroyed.position;
    for (const SpawnPoint& spawn : match.arena.spawns) {
        EXPECT_LE(nearestEnemy(spawn.position), nearestEnemy(back) + 1e-4f);
    }
    EXPECT_EQ(destroyed.graceTicks, Match::kShieldTicks);

    // Shielded: a shot passes through it, and it cannot fire. The first seat stands six units
    // ahead of it, facing it.
    const float facing = destroyed.heading + 180.0f;
    match.tank(0).placeAt(back + 6.0f * destroyed.forward(), facing, destroyed.groundLevel);
    commands[0].aim = TankCommand::aimOf(facing);
    commands[1].fire = true;
    fireAndWait(20);
    EXPECT_EQ(count(GameEventType::TankHit), 1);
    EXPECT_TRUE(std::none_of(seen.begin(), seen.end(), [](const GameEvent& e) {
        return e.type == GameEventType::Shot && e.seat == 1;
    })) << "no shot while shielded";

    // Once the shield is down, a hit again.
    commands[1].fire = false;
    while (destroyed.graceTicks > 0) {
        step();
    }
    match.tank(0).reloadTicks = 0;
    fireAndWait(20);
    EXPECT_EQ(count(GameEventType::Destroyed), 2);
    EXPECT_EQ(match.seat(0).frags, 2);
}

class TeamBattleTest : public BattleTest {
protected:
    TeamBattleTest() : BattleTest(4, true) {}
};

TEST_F(TeamBattleTest, ATeamKillCostsAFragAndTheFragLimitEndsTheBattle) {
    ASSERT_EQ(match.seat(0).team, match.seat(2).team);
    ASSERT_NE(match.seat(0).team, match.seat(1).team);
    // The first seat shoots its team mate.
    match.tank(2).placeAt(glm::vec3(6.0f, 0.05f, 5.0f), 90.0f, match.tank(0).groundLevel);
    match.tank(0).turretHeading = 270.0f;
    commands[0].aim = TankCommand::aimOf(270.0f);
    fireAndWait(10);
    EXPECT_EQ(match.seat(0).frags, -1);
    EXPECT_EQ(match.seat(2).deaths, 1);
    EXPECT_TRUE(match.outcome().running());

    // The second seat's team reaches the limit of 3.
    match.seat(1).frags = 2;
    match.seat(3).frags = 1;
    EXPECT_EQ(match.teamFrags(1), 3);
    EXPECT_EQ(match.outcome(), Outcome::wonByTeam(1));
}

TEST(BattleScenarioTest, TheTimeLimitEndsTheBattleTheMostFragsWinATieIsADraw) {
    Match timed(MatchSetup::battle(4, false, 10, 60), 7u, std::vector<Driver>(4, Driver::Human));
    EventList events;
    for (int tick = 1; tick < 60 * kSecond; ++tick) {
        events.clear();
        timed.step({}, events);
        ASSERT_TRUE(timed.outcome().running()) << "tick " << tick;
    }
    events.clear();
    timed.step({}, events);
    EXPECT_EQ(timed.outcome(), Outcome::draw()) << "nobody scored";
    timed.seat(2).frags = 1;
    EXPECT_EQ(timed.outcome(), Outcome::wonBySeat(2));
    timed.seat(3).frags = 1;
    EXPECT_EQ(timed.outcome(), Outcome::draw());

    // A restart starts the clock again.
    timed.restart();
    EXPECT_TRUE(timed.outcome().running());
    EXPECT_EQ(timed.seat(2).frags, 0);
}

// A seat named in a skilled controller's state, relabelled.
void relabel(std::int32_t& seat, const std::vector<int>& permutation) {
    if (seat != kNoSeat) {
        seat = permutation[static_cast<std::size_t>(seat)];
    }
}

// Relabels a state's seats by permutation (seat i of state is seat permutation[i] of the result),
// the seats its controllers know by too, and lists the bullets in an order of their own names:
// the tick fired, then the owner.
MatchState relabelled(const MatchState& state, const std::vector<int>& permutation) {
    MatchState result = state;
    for (std::size_t seat = 0; seat < permutation.size(); ++seat) {
        Seat& moved = result.seats[static_cast<std::size_t>(permutation[seat])];
        moved = state.seats[seat];
        SkilledController& skilled = moved.skilled;
        const auto contacts = skilled.awareness.contacts;
        for (std::size_t other = 0; other < permutation.size(); ++other) {
            skilled.awareness.contacts[static_cast<std::size_t>(permutation[other])] =
                contacts[other];
        }
        relabel(skilled.target, permutation);
        relabel(skilled.gunner.aimedAt, permutation);
        relabel(skilled.dodgeOwner, permutation);
        relabel(skilled.awareness.threat.owner, permutation);
    }
    std::vector<Bullet>& bullets = result.bullets.bullets;
    for (Bullet& bullet : bullets) {
        bullet.owner = permutation[static_cast<std::size_t>(bullet.owner)];
    }
    std::stable_sort(bullets.begin(), bullets.end(), [](const Bullet& a, const Bullet& b) {
        return a.firedTick != b.firedTick ? a.firedTick < b.firedTick : a.owner < b.owner;
    });
    return result;
}

// Three people driving and firing by a script, five computer tanks.
TankCommand scripted(int seat, int tick) {
    TankCommand command;
    command.drive = static_cast<std::int16_t>((tick / 90 + seat) % 3 == 0 ? -120 : 200);
    command.turn = static_cast<std::int16_t>((tick / 45 + seat) % 4 == 0 ? 8000 : -2000);
    command.aim = TankCommand::aimOf(static_cast<float>(tick * (seat + 1) % 360));
    command.jump = (tick + 13 * seat) % 200 == 0;
    command.fire = (tick + 7 * seat) % 25 == 0;
    return command;
}

TEST(BattleScenarioTest, PermutedSeatsPlayThePermutedBattle) {
    constexpr int kSeats = 8;
    constexpr int kTicks = 3 * 60 * kSecond;
    const std::vector<Driver> drivers{Driver::Human,    Driver::Computer, Driver::Human,
                                      Driver::Computer, Driver::Computer, Driver::Human,
                                      Driver::Computer, Driver::Computer};
    Match match(MatchSetup::battle(kSeats, false, 99, 600), 11u, drivers);
    std::vector<int> permutation(kSeats);
    std::iota(permutation.begin(), permutation.end(), 0);
    std::shuffle(permutation.begin(), permutation.end(), std::mt19937(5));
    std::vector<int> inverse(kSeats);
    for (int seat = 0; seat < kSeats; ++seat) {
        inverse[static_cast<std::size_t>(permutation[static_cast<std::size_t>(seat)])] = seat;
    }
    Match permuted(MatchSetup::battle(kSeats, false, 99, 600), 11u, drivers);
    permuted.restore(relabelled(match.state, permutation));

    EventList events;
    int respawns = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
        SeatCommands commands{};
        SeatCommands permutedCommands{};
        for (int seat = 0; seat < kSeats; ++seat) {
            const auto at = static_cast<std::size_t>(seat);
            commands[at] = scripted(seat, tick);
            permutedCommands[static_cast<std::size_t>(permutation[at])] = commands[at];
        }
        events.clear();
        match.step(commands, events);
        respawns += static_cast<int>(std::count_if(events.begin(), events.end(), [](const auto& e) {
            return e.type == GameEventType::Respawn;
        }));
        events.clear();
        permuted.step(permutedCommands, events);
    }
    int frags = 0;
    for (const Seat& seat : match.state.seats) {
        frags += std::abs(seat.frags);
    }
    EXPECT_GT(frags, 10) << "a battle was fought";
    EXPECT_GT(respawns, 10);
    EXPECT_EQ(state_codec::hash(relabelled(permuted.state, inverse)),
              state_codec::hash(relabelled(match.state, std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7})));
}

TEST(BattleScenarioTest, FourAgainstFourPlayTenMinutesAndNoTankSticks) {
    // The battle's computer, the Veteran, in every seat; played on past the frag limit, which
    // its teams reach within the ten minutes.
    Match match(MatchSetup::battle(8, true, 99, 600), 20261208u, {});
    ASSERT_EQ(match.seat(5).skill, Skill::Veteran);
    std::array<SeatWatch, 8> watches{};
    EventList events;
    int destroyed = 0;
    for (int tick = 0; tick < 10 * 60 * kSecond; ++tick) {
        events.clear();
        match.step({}, events);
        // A tank struck by two shooters in one tick is destroyed once, and frags both.
        std::array<bool, 8> died{};
        for (const GameEvent& event : events) {
            if (event.type == GameEventType::Destroyed &&
                !died[static_cast<std::size_t>(event.seat)]) {
                died[static_cast<std::size_t>(event.seat)] = true;
                ++destroyed;
            }
        }
        for (int seat = 0; seat < 8; ++seat) {
            watches[static_cast<std::size_t>(seat)].observe(match, seat, events);
        }
    }
    EXPECT_GT(destroyed, 8);
    int deaths = 0;
    for (int seat = 0; seat < 8; ++seat) {
        EXPECT_LE(watches[static_cast<std::size_t>(seat)].longestStuck, kLongestStuckSeconds)
            << "seat " << seat;
        deaths += match.seat(seat).deaths;
    }
    EXPECT_EQ(deaths, destroyed) << "every tank destroyed counted once";
}

} // namespace
