#include "game/NavGraph.h"

#include "game/Clearance.h"
#include "game/NavTrial.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr float kSameFloor = 0.01f;     // units: two floors closer than this are one
constexpr float kHullHalf = 1.0f;       // of the hull's side: a place rests on one floor this wide
constexpr float kNeighbourReach = 1.5f; // in spacings: neighbours and diagonal neighbours
constexpr float kLongestLink = 8.0f;    // units: the longest jump or way between floors
constexpr float kShortestJump = 3.0f;   // units
constexpr float kHighestRise = 1.6f;    // units a jump may land above its floor
constexpr float kRoughFloor = 0.8f; // units: a floor given roughly (a tank in the air) is this near
constexpr float kJumpPenalty = 4.0f; // units of driving a jump's risk is worth
constexpr int kLinksPerNode = 3;     // jumps, and ways to another floor, kept from each place
constexpr float kNearRadius = 1.0f;  // room a tank already standing somewhere needs to go
constexpr int kTrialsPerNode = 8;    // runs on the rules tried from each place, at most
constexpr float kHighestLeap = 2.0f; // units: the tallest piece above a floor a jump may clear

float groundDistance(glm::vec3 a, glm::vec3 b) {
    return glm::length(glm::vec2(a.x - b.x, a.z - b.z));
}

bool sameFloor(float a, float b) {
    return std::abs(a - b) < kSameFloor;
}

// How far above floor the tallest piece that blocks a tank driven from `from` to `to` reaches;
// 0 when none does.
float tallestInWay(const Arena& arena, glm::vec3 from, glm::vec3 to, float floor) {
    float tallest = 0.0f;
    for (const ArenaPiece& piece : arena.pieces) {
        if (clearance::blocksAt(piece, floor) &&
            !clearance::drivesClearOf(piece, from, to, NavGraph::kDriveRadius)) {
            tallest = std::max(tallest, piece.top - floor);
        }
    }
    return tallest;
}
} // namespace

NavGraph::NavGraph(const Arena& arena) {
    placeNodes(arena);
    std::vector<Link> links;
    linkNeighbours(arena, links);
    linkJumps(arena, links);
    index(links);
}

void NavGraph::placeNodes(const Arena& arena) {
    for (const ArenaPiece& slab : arena.pieces) {
        if (slab.kind != PieceKind::Ground) {
            continue;
        }
        const float angle = slab.heading * 0.017453293f;
        const glm::vec2 along(std::cos(angle), std::sin(angle));
        const glm::vec2 across(-along.y, along.x);
        const int columns = std::max(1, static_cast<int>(2.0f * slab.halfSize.x / kSpacing));
        const int rows = std::max(1, static_cast<int>(2.0f * slab.halfSize.y / kSpacing));
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                const float u = (static_cast<float>(column) - 0.5f * (columns - 1)) * kSpacing;
                const float v = (static_cast<float>(row) - 0.5f * (rows - 1)) * kSpacing;
                const glm::vec2 place =
                    glm::vec2(slab.position.x, slab.position.z) + u * along + v * across;
                const glm::vec3 at(place.x, slab.top, place.y);
                if (size() < kMaxNodes && clearance::restsOn(arena, at, kHullHalf, slab.top) &&
                    clearance::standsClear(arena, at, kStandRadius, slab.top)) {
                    nodes.push_back({at, 0, 0});
                }
            }
        }
    }
}

void NavGraph::linkNeighbours(const Arena& arena, std::vector<Link>& links) const {
    const float reach = kNeighbourReach * kSpacing;
    for (int a = 0; a < size(); ++a) {
        for (int b = a + 1; b < size(); ++b) {
            const glm::vec3 from = node(a).position;
            const glm::vec3 to = node(b).position;
            const float distance = groundDistance(from, to);
            if (distance > reach || !sameFloor(from.y, to.y) ||
                !clearance::drivesClear(arena, from, to, kDriveRadius, from.y)) {
                continue;
            }
            links.push_back({a, {b, NavLink::Drive, distance, 0.0f}});
            links.push_back({b, {a, NavLink::Drive, distance, 0.0f}});
        }
    }
}

void NavGraph::linkJumps(const Arena& arena, std::vector<Link>& links) const {
    // From each place, the nearest few places past a low piece or on another floor, tried in
    // turn: a drive where the way is clear, else a jump.
    const NavTrial trial(arena, kRunUp);
    std::vector<int> near;
    for (int a = 0; a < size(); ++a) {
        const glm::vec3 from = node(a).position;
        near.clear();
        for (int b = 0; b < size(); ++b) {
            const glm::vec3 to = node(b).position;
            const float distance = groundDistance(from, to);
            const bool otherFloor = !sameFloor(from.y, to.y);
            const bool reachable = otherFloor
                                       ? distance <= kLongestLink
                                       : distance >= kShortestJump && distance <= kLongestLink;
            if (b != a && reachable && to.y < from.y + kHighestRise) {
                near.push_back(b);
            }
        }
        std::sort(near.begin(), near.end(), [&](int x, int y) {
            return groundDistance(from, node(x).position) < groundDistance(from, node(y).position);
        });
        int kept = 0;
        int tried = 0;
        for (const int b : near) {
            if (kept == kLinksPerNode || tried == kTrialsPerNode) {
                break;
            }
            const glm::vec3 to = node(b).position;
            const float distance = groundDistance(from, to);
            const float tallest = tallestInWay(arena, from, to, from.y);
            if (tallest == 0.0f && !sameFloor(from.y, to.y)) {
                ++tried;
                if (trial.drives(from, to)) {
                    links.push_back({a, {b, NavLink::Drive, distance, 0.0f}});
                    ++kept;
                }
                continue;
            }
            const glm::vec3 way = glm::normalize(glm::vec3(to.x - from.x, 0.0f, to.z - from.z));
            const glm::vec3 runUp = from - kRunUp * way;
            if (tallest == 0.0f || tallest > kHighestLeap ||
                !clearance::restsOn(arena, runUp, kHullHalf, from.y) ||
                !clearance::drivesClear(arena, runUp, from, kDriveRadius, from.y)) {
                continue;
            }
            ++tried;
            float jumpAt = 0.0f;
            if (trial.jumps(from, to, jumpAt)) {
                links.push_back({a, {b, NavLink::Jump, distance + kJumpPenalty, jumpAt}});
                ++kept;
            }
        }
    }
}

void NavGraph::index(std::vector<Link>& links) {
    std::stable_sort(links.begin(), links.end(),
                     [](const Link& x, const Link& y) { return x.from < y.from; });
    edges.reserve(links.size());
    for (const Link& link : links) {
        NavNode& from = nodes[static_cast<std::size_t>(link.from)];
        if (from.edgeCount == 0) {
            from.firstEdge = static_cast<int>(edges.size());
        }
        ++from.edgeCount;
        edges.push_back(link.edge);
    }
    for (NavNode& each : nodes) {
        if (each.edgeCount == 0) {
            each.firstEdge = static_cast<int>(edges.size());
        }
    }
}

const NavEdge* NavGraph::edge(int from, int to) const {
    for (const NavEdge* each = edgesBegin(from); each != edgesEnd(from); ++each) {
        if (each->to == to) {
            return each;
        }
    }
    return nullptr;
}

int NavGraph::nearestOnFloor(glm::vec3 at, float floor) const {
    int nearest = kNoNode;
    float nearestDistance = std::numeric_limits<float>::max();
    for (int each = 0; each < size(); ++each) {
        const glm::vec3 place = node(each).position;
        const float distance = groundDistance(at, place);
        if (std::abs(place.y - floor) < kRoughFloor && distance < nearestDistance) {
            nearest = each;
            nearestDistance = distance;
        }
    }
    return nearest;
}

int NavGraph::nearest(const Arena& arena, glm::vec3 at, float floor) const {
    // The nearest few on the floor, nearest first, until one is in a straight line.
    constexpr int kTries = 4;
    float beyond = -1.0f;
    for (int tries = 0; tries < kTries; ++tries) {
        int best = kNoNode;
        float bestDistance = std::numeric_limits<float>::max();
        for (int each = 0; each < size(); ++each) {
            const glm::vec3 place = node(each).position;
            const float distance = groundDistance(at, place);
            if (sameFloor(place.y, floor) && distance > beyond && distance < bestDistance) {
                best = each;
                bestDistance = distance;
            }
        }
        if (best == kNoNode) {
            return kNoNode;
        }
        if (clearance::drivesClear(arena, at, node(best).position, kNearRadius, floor)) {
            return best;
        }
        beyond = bestDistance;
    }
    return kNoNode;
}
