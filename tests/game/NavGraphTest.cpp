// The navigation graph of an arena and a tank driven along its ways: both levels of the game's
// arena joined by jumps over the low wall and drives back down, every spawn point reached from
// every other without snagging, and an arena of other pieces, turned, served as well.
#include "GameFixtures.h"

#include "game/ControllerView.h"
#include "game/Match.h"
#include "game/PathFollower.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>

namespace {

constexpr int kSecond = 60;         // ticks
constexpr float kThere = 1.5f;      // units from the goal that count as there
constexpr float kSameFloor = 0.05f; // units
constexpr int kMostBlocked = 8;     // ticks a piece may hold a tank back on one way
const glm::vec3 kOutOfTheWay(200.0f, 0.05f, 200.0f); // where the other tank stands

float groundDistance(glm::vec3 a, glm::vec3 b) {
    return glm::length(glm::vec2(a.x - b.x, a.z - b.z));
}

// How a drive along a way went.
struct Drive {
    bool there = false;
    float seconds = 0.0f;
    int blocked = 0; // ticks in which a piece held the tank back
    int jumps = 0;
};

// Drives the first seat of match to the place goal with a skilled controller's hands, planning
// again when they give the way up, the other tank far out of the way.
Drive driveTo(Match& match, int goal, int maxTicks) {
    const NavGraph& graph = *match.navigation();
    PathSearch search(graph);
    PathFollower follower;
    match.tank(1).placeAt(kOutOfTheWay, 0.0f, 0.0f);
    const glm::vec3 target = graph.node(goal).position;
    Drive drive;
    EventList events;
    for (int tick = 0; tick < maxTicks; ++tick) {
        const Tank& tank = match.tank(0);
        if (tank.onGround && groundDistance(tank.position, target) < kThere &&
            std::abs(tank.floorLevel - target.y) < kSameFloor) {
            drive.there = true;
            drive.seconds = static_cast<float>(tick) / kSecond;
            return drive;
        }
        // What a controller sees at the start of the next tick.
        MatchState next = match.state;
        next.tick += 1;
        const ControllerView view{next,   match.arena, graph,
                                  search, 0,           skillFigures(Skill::Veteran)};
        if (follower.arrived() && !follower.backingOff && !follower.holding) {
            EXPECT_TRUE(follower.plan(view, goal))
                << "a way from " << tank.position.x << ", " << tank.position.z;
        }
        SeatCommands commands{};
        commands[0].aim = TankCommand::aimOf(tank.turretHeading);
        follower.steer(view, Obstacles{}, commands[0]);
        events.clear();
        match.step(commands, events);
        drive.jumps +=
            static_cast<int>(std::count_if(events.begin(), events.end(), [](const GameEvent& e) {
                return e.type == GameEventType::Jump && e.seat == 0;
            }));
        drive.blocked += match.tank(0).blocked ? 1 : 0;
    }
    return drive;
}

// A duel on arena whose first seat a person drives, with the graph built for a skill.
std::unique_ptr<Match> matchOn(Arena arena, glm::vec3 start, float heading) {
    auto match = std::make_unique<Match>(MatchSetup::duel(), 5u,
                                         std::vector<Driver>{Driver::Human, Driver::Human},
                                         std::move(arena));
    match->setSkill(0, Skill::Veteran);
    match->tank(0).placeAt(start, heading, match->arena.floorAt(start.x, start.z));
    return match;
}

TEST(NavGraphTest, TheTwoLevelsAreJoinedByJumpsOverTheLowWallAndDrivesDown) {
    const Arena arena = Arena::standard();
    const NavGraph graph(arena);
    const float low = arena.floorAt(0.0f, 0.0f);
    const float high = arena.floorAt(20.0f, -10.0f);
    int lowPlaces = 0;
    int highPlaces = 0;
    int jumpsUp = 0;
    int drivesDown = 0;
    for (int place = 0; place < graph.size(); ++place) {
        const float floor = graph.node(place).position.y;
        lowPlaces += floor == low ? 1 : 0;
        highPlaces += floor == high ? 1 : 0;
        for (const NavEdge* edge = graph.edgesBegin(place); edge != graph.edgesEnd(place); ++edge) {
            const float to = graph.node(edge->to).position.y;
            jumpsUp += floor == low && to == high && edge->link == NavLink::Jump ? 1 : 0;
            drivesDown += floor == high && to == low && edge->link == NavLink::Drive ? 1 : 0;
            EXPECT_FALSE(floor == high && to == low && edge->link == NavLink::Jump);
        }
    }
    std::cout << lowPlaces << " places below, " << highPlaces << " above, " << jumpsUp
              << " jumps up, " << drivesDown << " drives down, " << graph.edges.size() << " edges"
              << std::endl;
    EXPECT_EQ(lowPlaces + highPlaces, graph.size()) << "every place on one of the two floors";
    EXPECT_GT(lowPlaces, 40);
    EXPECT_GT(highPlaces, 80);
    EXPECT_GE(jumpsUp, 8) << "up over the low wall all along it";
    EXPECT_GE(drivesDown, 8);

    // A way up and a way back.
    PathSearch search(graph);
    NavPath up;
    NavPath down;
    const int below = graph.nearestOnFloor(arena.spawns[0].position, low);
    const int above = graph.nearestOnFloor(arena.spawns[5].position, high);
    ASSERT_TRUE(search.find(below, above, up));
    ASSERT_TRUE(search.find(above, below, down));
    EXPECT_EQ(up.at(0), below);
    EXPECT_EQ(up.last(), above);
    EXPECT_EQ(down.last(), below);
}

TEST(NavGraphTest, ATankFollowsAWayOverTheLowWallOntoTheRaisedLevelAndBackDown) {
    const Arena arena = Arena::standard();
    const SpawnPoint& start = arena.spawns[0];
    auto match = matchOn(arena, start.position, start.heading);
    const NavGraph& graph = *match->navigation();
    const int above = graph.nearestOnFloor(arena.spawns[5].position, arena.spawns[5].floor);
    const Drive up = driveTo(*match, above, 40 * kSecond);
    EXPECT_TRUE(up.there) << "at " << match->tank(0).position.x << ", "
                          << match->tank(0).position.z;
    EXPECT_GE(up.jumps, 1) << "over the low wall";
    const int below = graph.nearestOnFloor(arena.spawns[3].position, arena.spawns[3].floor);
    const Drive down = driveTo(*match, below, 40 * kSecond);
    EXPECT_TRUE(down.there);
    std::cout << "up in " << up.seconds << " s with " << up.jumps << " jumps, down in "
              << down.seconds << " s" << std::endl;
}

TEST(NavGraphTest, FromEverySpawnPointEveryOtherIsReachedWithoutSnagging) {
    const Arena arena = Arena::standard();
    float slowest = 0.0f;
    int mostBlocked = 0;
    for (std::size_t from = 0; from < arena.spawns.size(); ++from) {
        for (std::size_t to = 0; to < arena.spawns.size(); ++to) {
            if (from == to) {
                continue;
            }
            SCOPED_TRACE("from place " + std::to_string(from) + " to " + std::to_string(to));
            const SpawnPoint& start = arena.spawns[from];
            auto match = matchOn(arena, start.position, start.heading);
            const NavGraph& graph = *match->navigation();
            const int goal =
                graph.nearestOnFloor(arena.spawns[to].position, arena.spawns[to].floor);
            const Drive drive = driveTo(*match, goal, 40 * kSecond);
            EXPECT_TRUE(drive.there);
            EXPECT_LE(drive.blocked, kMostBlocked);
            slowest = std::max(slowest, drive.seconds);
            mostBlocked = std::max(mostBlocked, drive.blocked);
        }
    }
    std::cout << "slowest way between two spawn points: " << slowest
              << " s; most ticks held back by a piece on one: " << mostBlocked << std::endl;
}

// Two floors side by side, the upper one a unit higher behind a low wall turned a little, a
// block on the lower one, walls round both: none of it the game's arena.
Arena terrace() {
    Arena arena(kBoxBounds);
    arena.pieces.emplace_back(PieceKind::Ground, kBoxBounds, glm::vec3(0.0f, 0.0f, 0.0f), 10.0f,
                              glm::vec3(8.0f, 0.05f, 8.0f));
    arena.pieces.emplace_back(PieceKind::Ground, kBoxBounds, glm::vec3(15.0f, 0.9f, 2.0f), 10.0f,
                              glm::vec3(7.0f, 0.05f, 8.0f));
    arena.pieces.emplace_back(PieceKind::Wall, kBoxBounds, glm::vec3(8.0f, 0.0f, 0.0f), 100.0f,
                              glm::vec3(8.0f, 1.9f, 0.3f));
    arena.pieces.emplace_back(PieceKind::Wall, kBoxBounds, glm::vec3(-2.0f, 0.0f, 2.0f), 40.0f,
                              glm::vec3(2.0f, 3.0f, 0.6f));
    arena.addWallRing({0, 2, 3}, 3, glm::vec3(0.0f, 0.0f, 0.0f), 9.0f, 5.0f, 0.3f);
    for (const glm::vec3& place : {glm::vec3(-4.0f, 0.05f, -3.0f), glm::vec3(-4.0f, 0.05f, 4.0f)}) {
        SpawnPoint spawn;
        spawn.position = place;
        spawn.floor = arena.floorAt(place.x, place.z);
        arena.spawns.push_back(spawn);
    }
    return arena;
}

TEST(NavGraphTest, AnArenaOfOtherPiecesTurnedIsServedAsWell) {
    const Arena arena = terrace();
    auto match = matchOn(arena, arena.spawns[0].position, 0.0f);
    const NavGraph& graph = *match->navigation();
    const float high = arena.floorAt(16.0f, 2.0f);
    int above = NavGraph::kNoNode;
    for (int place = 0; place < graph.size(); ++place) {
        if (graph.node(place).position.y == high &&
            (above == NavGraph::kNoNode ||
             graph.node(place).position.x > graph.node(above).position.x)) {
            above = place;
        }
    }
    ASSERT_NE(above, NavGraph::kNoNode) << "places on the upper floor";
    const Drive up = driveTo(*match, above, 40 * kSecond);
    EXPECT_TRUE(up.there) << "at " << match->tank(0).position.x << ", "
                          << match->tank(0).position.z;
    EXPECT_GE(up.jumps, 1);
    const int below = graph.nearestOnFloor(arena.spawns[0].position, arena.spawns[0].floor);
    EXPECT_TRUE(driveTo(*match, below, 40 * kSecond).there) << "and back down";
}

} // namespace
