// The arenas shipped beside the built-in one: each loads, its navigation graph reaches every
// spawn point from the first, and eight computer tanks play a battle on it for five minutes
// with none stuck.
#include "assets/ArenaFile.h"
#include "game/Match.h"
#include "game/NavGraph.h"

#include "SeatWatch.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kSecond = 60;                  // ticks
constexpr float kLongestStuckSeconds = 3.0f; // while a controller wants to move

Arena shipped(const std::string& name) {
    std::ostringstream errors;
    Arena arena = ArenaFile::load("../Brakkel_game/Arenas/" + name + ".toml", errors);
    EXPECT_EQ(errors.str(), "");
    return arena;
}

class ShippedArenaTest : public ::testing::TestWithParam<const char*> {};

// The places the graph leads to from place `from`.
std::vector<bool> reachedFrom(const NavGraph& graph, int from) {
    std::vector<bool> reached(static_cast<std::size_t>(graph.size()), false);
    std::vector<int> open{from};
    reached[static_cast<std::size_t>(from)] = true;
    while (!open.empty()) {
        const int at = open.back();
        open.pop_back();
        for (const NavEdge* edge = graph.edgesBegin(at); edge != graph.edgesEnd(at); ++edge) {
            if (!reached[static_cast<std::size_t>(edge->to)]) {
                reached[static_cast<std::size_t>(edge->to)] = true;
                open.push_back(edge->to);
            }
        }
    }
    return reached;
}

TEST_P(ShippedArenaTest, LoadsWithEightSpawnPointsEachLeadingToEveryOther) {
    const Arena arena = shipped(GetParam());
    ASSERT_EQ(arena.spawns.size(), ArenaFile::kMaxSpawns);
    EXPECT_NE(arena.hash(), Arena::standard().hash());
    const NavGraph graph(arena);
    std::vector<int> places;
    for (std::size_t i = 0; i < arena.spawns.size(); ++i) {
        const SpawnPoint& spawn = arena.spawns[i];
        const int place = graph.nearestOnFloor(spawn.position, spawn.floor);
        ASSERT_NE(place, NavGraph::kNoNode) << "spawn " << i + 1;
        EXPECT_LT(glm::distance(graph.node(place).position, spawn.position), NavGraph::kSpacing)
            << "spawn " << i + 1 << " has a place near it";
        places.push_back(place);
    }
    for (std::size_t from = 0; from < places.size(); ++from) {
        const std::vector<bool> reached = reachedFrom(graph, places[from]);
        for (std::size_t to = 0; to < places.size(); ++to) {
            EXPECT_TRUE(reached[static_cast<std::size_t>(places[to])])
                << "from spawn " << from + 1 << " to spawn " << to + 1;
        }
    }
}

TEST_P(ShippedArenaTest, EightComputerTanksBattleFiveMinutesAndNoneSticks) {
    Match match(MatchSetup::battle(8, false, 99, 300), 20261208u, {}, shipped(GetParam()));
    std::array<SeatWatch, 8> watches{};
    EventList events;
    int destroyed = 0;
    for (int tick = 0; tick < 5 * 60 * kSecond; ++tick) {
        events.clear();
        match.step({}, events);
        for (const GameEvent& event : events) {
            destroyed += event.type == GameEventType::Destroyed;
        }
        for (int seat = 0; seat < 8; ++seat) {
            watches[static_cast<std::size_t>(seat)].observe(match, seat, events);
        }
    }
    EXPECT_GT(destroyed, 8) << "the tanks found each other";
    for (int seat = 0; seat < 8; ++seat) {
        EXPECT_LE(watches[static_cast<std::size_t>(seat)].longestStuck, kLongestStuckSeconds)
            << "seat " << seat;
    }
}

INSTANTIATE_TEST_SUITE_P(Arenas, ShippedArenaTest, ::testing::Values("pillars", "towers", "maze"));

} // namespace
