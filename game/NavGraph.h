#pragma once

#include "game/Arena.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

// How a tank goes along an edge of the navigation graph: driving, or a run-up and a jump at full
// speed (over a low wall, onto a higher floor).
enum class NavLink : std::uint8_t { Drive, Jump };

struct NavEdge {
    int to = 0;
    NavLink link = NavLink::Drive;
    float cost = 0.0f;   // units of driving it is worth
    float jumpAt = 0.0f; // a jump's: how far past the edge's start the jump is pressed
};

// A place a tank fits, on a floor: y is the floor's height.
struct NavNode {
    glm::vec3 position{0.0f};
    int firstEdge = 0;
    int edgeCount = 0;
};

// The places of an arena a tank can stand at and the ways between them, built from the arena's
// pieces alone, on every floor: a grid of places on each ground slab wherever a hull fits, edges
// between neighbours a tank drives between in a straight line, and edges over low pieces where
// a run-up and a jump at full speed make it. The ways between floors (jumps, and drives off a
// higher floor) are each tried on the real rules before they are kept. Built once, at a match's
// start; the controllers only read it.
class NavGraph {
public:
    static constexpr float kSpacing = 2.0f;      // units between neighbouring places
    static constexpr float kStandRadius = 1.45f; // a hull's half diagonal and a little
    static constexpr float kDriveRadius = 1.15f; // room kept on either side of an edge
    static constexpr float kRunUp = 3.0f;        // units of straight drive before a jump's edge
    static constexpr int kMaxNodes = 4096;
    static constexpr int kNoNode = -1;

    explicit NavGraph(const Arena& arena);

    int size() const { return static_cast<int>(nodes.size()); }
    const NavNode& node(int index) const { return nodes[static_cast<std::size_t>(index)]; }
    const NavEdge* edgesBegin(int index) const { return edges.data() + node(index).firstEdge; }
    const NavEdge* edgesEnd(int index) const { return edgesBegin(index) + node(index).edgeCount; }
    // The edge from one place to another, or null.
    const NavEdge* edge(int from, int to) const;
    // The nearest place on the floor at `floor` that a tank at `at` reaches in a straight drive,
    // or kNoNode.
    int nearest(const Arena& arena, glm::vec3 at, float floor) const;
    // The nearest place on the floor at `floor`, in a straight line or not, or kNoNode.
    int nearestOnFloor(glm::vec3 at, float floor) const;

    std::vector<NavNode> nodes;
    std::vector<NavEdge> edges;

private:
    struct Link {
        int from;
        NavEdge edge;
    };
    void placeNodes(const Arena& arena);
    void linkNeighbours(const Arena& arena, std::vector<Link>& links) const;
    void linkJumps(const Arena& arena, std::vector<Link>& links) const;
    void index(std::vector<Link>& links);
};
