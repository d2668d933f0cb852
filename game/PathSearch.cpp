#include "game/PathSearch.h"

#include <algorithm>

namespace {
float groundDistance(glm::vec3 a, glm::vec3 b) {
    return glm::length(glm::vec2(a.x - b.x, a.z - b.z));
}
} // namespace

PathSearch::PathSearch(const NavGraph& graph)
    : graph(graph), costs(static_cast<std::size_t>(graph.size())),
      parents(static_cast<std::size_t>(graph.size())),
      stamps(static_cast<std::size_t>(graph.size())),
      closed(static_cast<std::size_t>(graph.size())) {
    // Every edge relaxed pushes once at most.
    open.reserve(graph.edges.size() + 1);
}

void PathSearch::begin(int from) {
    ++stamp;
    open.clear();
    const auto at = static_cast<std::size_t>(from);
    stamps[at] = stamp;
    costs[at] = 0.0f;
    parents[at] = NavGraph::kNoNode;
    closed[at] = 0;
    open.emplace_back(0.0f, from);
}

int PathSearch::settle() {
    while (!open.empty()) {
        std::pop_heap(open.begin(), open.end());
        const int place = open.back().second;
        open.pop_back();
        char& done = closed[static_cast<std::size_t>(place)];
        if (!done) {
            done = 1;
            return place;
        }
    }
    return NavGraph::kNoNode;
}

void PathSearch::relax(int place, int goal) {
    const float base = costs[static_cast<std::size_t>(place)];
    for (const NavEdge* edge = graph.edgesBegin(place); edge != graph.edgesEnd(place); ++edge) {
        const auto next = static_cast<std::size_t>(edge->to);
        const float cost = base + edge->cost;
        if (visited(edge->to) && (closed[next] || costs[next] <= cost)) {
            continue;
        }
        if (!visited(edge->to)) {
            stamps[next] = stamp;
            closed[next] = 0;
        }
        costs[next] = cost;
        parents[next] = place;
        const float estimate =
            goal == NavGraph::kNoNode
                ? 0.0f
                : groundDistance(graph.node(edge->to).position, graph.node(goal).position);
        open.emplace_back(-(cost + estimate), edge->to);
        std::push_heap(open.begin(), open.end());
    }
}

bool PathSearch::find(int from, int to, NavPath& path) {
    path.clear();
    begin(from);
    for (int place = settle(); place != NavGraph::kNoNode; place = settle()) {
        if (place == to) {
            // Walk back to count, then fill from the start, cut to the room there is.
            int length = 0;
            for (int each = to; each != NavGraph::kNoNode;
                 each = parents[static_cast<std::size_t>(each)]) {
                ++length;
            }
            path.count = std::min(length, NavPath::kCapacity);
            int index = length - 1;
            for (int each = to; each != NavGraph::kNoNode;
                 each = parents[static_cast<std::size_t>(each)], --index) {
                if (index < NavPath::kCapacity) {
                    path.nodes[static_cast<std::size_t>(index)] = static_cast<std::int16_t>(each);
                }
            }
            return true;
        }
        relax(place, to);
    }
    return false;
}
