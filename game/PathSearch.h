#pragma once

#include "game/NavGraph.h"
#include "game/NavPath.h"

#include <cstdint>
#include <utility>
#include <vector>

// Searches of one navigation graph: the cheapest way between two places (A*, the straight
// distance as the estimate), and the places nearest by driving that pass a test. Its scratch is
// sized to the graph once, so that a search allocates nothing; one search runs at a time.
class PathSearch {
public:
    explicit PathSearch(const NavGraph& graph);
    PathSearch(const PathSearch&) = delete;
    PathSearch& operator=(const PathSearch&) = delete;

    // The cheapest way from one place to another into path; false, with path empty, when there
    // is none.
    bool find(int from, int to, NavPath& path);
    // Calls visit(place, cost) for the places nearest by driving from `from` (itself first), at
    // most maxCost away and at most maxPlaces of them, nearest first, until visit returns true.
    template <typename Visit> void visitNear(int from, float maxCost, int maxPlaces, Visit visit);

    const NavGraph& graph;

private:
    void begin(int from);
    // The next place to settle, or kNoNode when none is left.
    int settle();
    // Relaxes the edges of a settled place, with the estimate towards goal (kNoNode: none).
    void relax(int place, int goal);
    bool visited(int place) const { return stamps[static_cast<std::size_t>(place)] == stamp; }

    std::vector<float> costs;
    std::vector<int> parents;
    std::vector<std::uint32_t> stamps; // a place's cost and parent count in this search's stamp
    std::vector<char> closed;
    std::vector<std::pair<float, int>> open; // a heap of (−priority, place)
    std::uint32_t stamp = 0;
};

template <typename Visit>
void PathSearch::visitNear(int from, float maxCost, int maxPlaces, Visit visit) {
    begin(from);
    for (int visited = 0; visited < maxPlaces; ++visited) {
        const int place = settle();
        if (place == NavGraph::kNoNode) {
            return;
        }
        const float cost = costs[static_cast<std::size_t>(place)];
        if (cost > maxCost || visit(place, cost)) {
            return;
        }
        relax(place, NavGraph::kNoNode);
    }
}
