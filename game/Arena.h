#pragma once

#include "game/ArenaPiece.h"
#include "game/Bounds.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

// A place a tank starts or comes back at: where it stands and the heading it faces (degrees),
// and the height of the ground there.
struct SpawnPoint {
    glm::vec3 position{0.0f};
    float heading = 0.0f;
    float floor = 0.0f;
};

// Where the title's camera circles to show a whole arena: about centre, radius units out seen
// from above and height units above it.
struct Overview {
    glm::vec3 centre{10.0f, 0.0f, -6.0f};
    float radius = 36.7f;
    float height = 22.0f;
};

// The fixed scenery: two ground slabs at different heights, the walls around them and a few
// blocks, all made from the one box model, and the places tanks start at. Collision detection
// tests tanks and bullets against every piece; the renderer draws the visible ones.
class Arena {
public:
    // box are the box model's bounds (x and z from −1 to 1, standing on y = 0).
    explicit Arena(const Bounds& box) : box(box) {}

    // The game's own arena, built from the hull's box.
    static Arena standard();
    static constexpr const char* kStandardName = "Classic";

    // Appends the 21 pieces and the 8 spawn points; called once. The first two spawn points
    // are a duel's: 10 units apart across the middle block, facing each other.
    void build();
    // Appends, for each of the first count sides (0: +Z, 1: +X, 2: −Z, 3: −X), a visible wall of
    // length, height and thickness around centre, and an invisible twin three times as tall
    // that only collides.
    void addWallRing(const std::vector<int>& sides, int count, glm::vec3 centre, float length,
                     float height, float thickness);

    // Appends a piece of the box model stretched by scale, its bottom centre at position,
    // turned by heading degrees about +Y.
    ArenaPiece& addPiece(PieceKind kind, glm::vec3 position, float heading, glm::vec3 scale);
    // Appends a place to start at, standing on the floor under it.
    void addSpawn(glm::vec3 position, float heading);

    // A hash of all the rules see (the pieces and the spawn points, in order, to the bit): two
    // arenas with one hash play alike.
    std::uint64_t hash() const;

    // How far along the segment from `from` to `to` (0 at from, 1 at to) it first enters a
    // visible piece, where it crosses the piece's footprint lower than the piece's top; 1 when
    // none is in the way. A piece whose footprint holds `from` does not count.
    float firstObstacle(glm::vec3 from, glm::vec3 to) const;
    // The top of the highest ground slab under (x, z), seen from above; 0 over none.
    float floorAt(float x, float z) const;

    std::vector<ArenaPiece> pieces;
    std::vector<SpawnPoint> spawns;
    // Shown to players; the rules never read them. The overview is the built-in arena's until
    // frameOverview.
    std::string name = kStandardName;
    std::string author = "Brakkel";
    Overview overview;

    // "NAME by AUTHOR", or the name alone without an author: the arena as lines name it.
    std::string byline() const { return author.empty() ? name : name + " by " + author; }

    // Sets the overview to circle the visible pieces, seen whole from above at a slant.
    void frameOverview();

private:
    Bounds box;
};
