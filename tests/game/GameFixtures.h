#pragma once

#include "game/Arena.h"
#include "game/BodySizes.h"
#include "game/Bounds.h"
#include "game/BulletSystem.h"
#include "game/CollisionBody.h"
#include "game/Tank.h"
#include "platform/FixedStep.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

// The game's fixed step in seconds, as the game steps with it.
inline constexpr float kStep = static_cast<float>(FixedStep::kStepSeconds);

// Model boxes for tests: a hull 2 × 1 × 2 standing on y = 0, a bullet 0.2 × 0.1 × 0.4, and the
// arena's box 2 × 1 × 2.
inline const Bounds kTestHull{{-1.0f, 0.0f, -1.0f}, {1.0f, 1.0f, 1.0f}};
inline const Bounds kTestBullet{{-0.1f, 0.0f, -0.2f}, {0.1f, 0.1f, 0.2f}};
inline const Bounds kTestBox{{-1.0f, 0.0f, -1.0f}, {1.0f, 1.0f, 1.0f}};

// One ground slab 120 units wide and nothing on it, with the standard arena's places.
inline Arena openGround() {
    Arena arena(kBoxBounds);
    arena.pieces.emplace_back(PieceKind::Ground, kBoxBounds, glm::vec3(0.0f, 0.01f, 0.0f), 0.0f,
                              glm::vec3(60.0f, 0.05f, 60.0f));
    arena.spawns = Arena::standard().spawns;
    return arena;
}

// Tanks with the test hull firing into one bullet system.
class TankWorldTest : public ::testing::Test {
protected:
    Tank& addTank(glm::vec3 position, float heading = 0) {
        tanks.push_back(std::make_unique<Tank>(kTestHull, position, heading));
        return *tanks.back();
    }

    BulletSystem bullets{kTestBullet};
    std::vector<std::unique_ptr<Tank>> tanks;
};

// The extent of a body's footprint in the ground plane: world X and Z, transform applied.
struct Span {
    float minX, maxX, minZ, maxZ;
};

inline Span footprintSpan(const CollisionBody& body) {
    Span span{1e9f, -1e9f, 1e9f, -1e9f};
    for (int i = 0; i < body.shape.m_count; ++i) {
        const b2Vec2 v = b2Mul(body.transform, body.shape.m_vertices[i]);
        span.minX = std::min(span.minX, v.x);
        span.maxX = std::max(span.maxX, v.x);
        span.minZ = std::min(span.minZ, v.y);
        span.maxZ = std::max(span.maxZ, v.y);
    }
    return span;
}

// The footprint's length along world X (axis 0) or Z (axis 1).
inline float spanOf(const CollisionBody& body, int axis) {
    const Span span = footprintSpan(body);
    return axis == 0 ? span.maxX - span.minX : span.maxZ - span.minZ;
}
