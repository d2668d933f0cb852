#pragma once

#include "game/ArenaPiece.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>
#include <vector>

// The radar sees the world from above: its places and directions are world (x, z) pairs.

// A visible piece of the arena: its footprint, a box, by its four corners in turn.
struct RadarPiece {
    PieceKind kind = PieceKind::Ground;
    float top = 0.0f; // world units
    std::array<glm::vec2, 4> corners{};
};

struct RadarTank {
    glm::vec2 position{0.0f};
    glm::vec2 facing{0.0f, -1.0f}; // the hull's heading, unit length
    glm::vec4 colour{1.0f};
};

// What the radar shows of a match: the arena's visible pieces, the bullets in flight and the
// tanks in play (the player's last, drawn over the others), in world units, and the direction
// drawn upwards. The scene sets the circle and the
// pieces once, as the arena never changes, and the rest each frame, into storage reserved
// once; what goes past the capacity is left off the radar.
struct RadarContent {
    static constexpr std::size_t kMaxPieces = 256; // as many as an arena may have
    static constexpr std::size_t kMaxBullets = 64;
    static constexpr std::size_t kMaxTanks = 8;

    RadarContent() {
        pieces.reserve(kMaxPieces);
        bullets.reserve(kMaxBullets);
        tanks.reserve(kMaxTanks);
    }

    // Empties the bullets and tanks for the next frame; the circle and the pieces stay.
    void clear() {
        bullets.clear();
        tanks.clear();
    }
    void addTank(const RadarTank& tank) {
        if (tanks.size() < kMaxTanks) {
            tanks.push_back(tank);
        }
    }
    void addPiece(const RadarPiece& piece) {
        if (pieces.size() < kMaxPieces) {
            pieces.push_back(piece);
        }
    }
    void addBullet(glm::vec2 position) {
        if (bullets.size() < kMaxBullets) {
            bullets.push_back(position);
        }
    }

    // The circle the radar shows whole: set once, around the whole arena.
    glm::vec2 centre{0.0f};
    float radius = 0.0f;       // world units
    glm::vec2 up{0.0f, -1.0f}; // the direction drawn upwards, unit length
    std::vector<RadarPiece> pieces;
    std::vector<glm::vec2> bullets;
    std::vector<RadarTank> tanks;
};
