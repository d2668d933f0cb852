#pragma once

#include "game/ArenaPiece.h"
#include "game/Bounds.h"

#include <glm/glm.hpp>

#include <vector>

// The fixed scenery: two ground slabs at different heights, the walls around them and a few
// blocks, all made from the one box model. Collision detection tests tanks and bullets against
// every piece; the renderer draws the visible ones.
class Arena {
public:
    // box are the box model's bounds (x and z from −1 to 1, standing on y = 0).
    explicit Arena(const Bounds& box) : box(box) {}

    // Appends the 21 pieces; called once.
    void build();
    // Appends, for each of the first count sides (0: +Z, 1: +X, 2: −Z, 3: −X), a visible wall of
    // length, height and thickness around centre, and an invisible twin three times as tall
    // that only collides.
    void addWallRing(const std::vector<int>& sides, int count, glm::vec3 centre, float length,
                     float height, float thickness);

    std::vector<ArenaPiece> pieces;

private:
    ArenaPiece& addPiece(PieceKind kind, glm::vec3 position, float heading, glm::vec3 scale);

    Bounds box;
};
