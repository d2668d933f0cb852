#include "game/Arena.h"

#include "game/BodySizes.h"
#include "game/ByteWriter.h"
#include "game/Fnv1a.h"

#include <algorithm>

namespace {
constexpr float kQuarterTurnDegrees = 90.0f;
// Each wall slides along itself by 3 % of its length, worked out in double so that the places
// come out as the nearest floats (0.3 for a length of 10, not 0.29999998).
constexpr double kWallShift = 0.03;
constexpr float kTwinHeightFactor = 3.0f; // invisible twins are three times as tall

constexpr float kWallLength = 10.0f;
constexpr float kWallHeight = 5.0f;
constexpr float kWallThickness = 0.3f;
const glm::vec3 kWallScale(kWallLength, kWallHeight, kWallThickness);
const glm::vec3 kSlabOneScale(10.0f, 0.05f, 10.0f);
const glm::vec3 kSlabTwoScale(10.0f, 0.05f, 20.0f);
const glm::vec3 kBlockScale(4.0f, 3.0f, 0.7f);
const glm::vec3 kTallBlockScale(4.0f, 5.5f, 0.7f);
const glm::vec3 kPostScale(1.0f, 7.0f, 0.7f);
const glm::vec3 kLowWallScale(10.0f, 2.2f, 0.3f);

// (−1)^n without floating point.
int alternatingSign(int n) {
    return n % 2 == 0 ? 1 : -1;
}
} // namespace

Arena Arena::standard() {
    Arena arena(kBoxBounds);
    arena.build();
    return arena;
}

ArenaPiece& Arena::addPiece(PieceKind kind, glm::vec3 position, float heading, glm::vec3 scale) {
    return pieces.emplace_back(kind, box, position, heading, scale);
}

void Arena::addWallRing(const std::vector<int>& sides, int count, glm::vec3 centre, float length,
                        float height, float thickness) {
    // A count beyond the list is cut to the list.
    const size_t wallCount = std::min(sides.size(), static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < wallCount; ++i) {
        const int side = sides[i];
        // (B, C) is (0, d), (d, 0), (0, −d), (−d, 0) for the sides +Z, +X, −Z, −X.
        const float b = static_cast<float>(alternatingSign(side / 2) * (side % 2)) * length;
        const float c =
            static_cast<float>(alternatingSign((side + 1) / 2) * ((side + 1) % 2)) * length;
        const glm::vec3 place(static_cast<float>(centre.x + b + kWallShift * c), centre.y,
                              static_cast<float>(centre.z + c - kWallShift * b));
        const float heading = kQuarterTurnDegrees * static_cast<float>(side);
        addPiece(PieceKind::Wall, place, heading, glm::vec3(length, height, thickness));
        addPiece(PieceKind::Wall, place, heading,
                 glm::vec3(length, kTwinHeightFactor * height, thickness))
            .visible = false;
    }
}

void Arena::build() {
    // Area 1, on the ground.
    addPiece(PieceKind::Ground, glm::vec3(0.0f, 0.01f, 0.0f), 0.0f, kSlabOneScale);
    addWallRing({0, 2, 3}, 3, glm::vec3(0.0f, -0.1f, 0.0f), kWallLength, kWallHeight,
                kWallThickness);
    addPiece(PieceKind::Wall, glm::vec3(10.0f, 0.0f, 0.0f), 90.0f, kLowWallScale);
    addPiece(PieceKind::Wall, glm::vec3(0.0f, 0.0f, 0.0f), 0.0f, kBlockScale);
    // Area 2, raised.
    addPiece(PieceKind::Ground, glm::vec3(20.0f, 1.1f, -10.0f), 0.0f, kSlabTwoScale);
    addPiece(PieceKind::Wall, glm::vec3(20.0f, 1.1f, -10.0f), 0.0f, kBlockScale);
    addPiece(PieceKind::Wall, glm::vec3(20.0f, 1.1f, -14.0f), 90.0f, kTallBlockScale);
    addPiece(PieceKind::Wall, glm::vec3(25.0f, 1.1f, -3.0f), 0.0f, kPostScale);
    addPiece(PieceKind::Wall, glm::vec3(15.0f, 1.1f, 0.0f), 0.0f, kPostScale);
    addWallRing({0, 1}, 2, glm::vec3(20.0f, 1.0f, 0.0f), kWallLength, kWallHeight, kWallThickness);
    addPiece(PieceKind::Wall, glm::vec3(10.0f, 1.0f, -19.7f), 90.0f, kWallScale);
    addPiece(PieceKind::Wall, glm::vec3(19.7f, 1.0f, -30.0f), 0.0f, kWallScale);
    addPiece(PieceKind::Wall, glm::vec3(30.0f, 1.0f, -20.3f), 90.0f, kWallScale);

    // A duel's two: the first for the player, facing the computer's across the middle block.
    addSpawn(glm::vec3(0.0f, 0.05f, 5.0f), 0.0f);
    addSpawn(glm::vec3(0.0f, 0.05f, -5.0f), 180.0f);
    // A battle's six more, two on the ground and four on the raised level, each facing into
    // the arena; no two see each other from closer than 15 units.
    addSpawn(glm::vec3(7.5f, 0.05f, -7.5f), 135.0f);
    addSpawn(glm::vec3(-7.5f, 0.05f, 7.5f), 315.0f);
    addSpawn(glm::vec3(26.0f, 1.14f, 6.0f), 45.0f);
    addSpawn(glm::vec3(14.0f, 1.14f, -26.0f), 180.0f);
    addSpawn(glm::vec3(26.5f, 1.14f, -16.0f), 155.0f);
    addSpawn(glm::vec3(14.0f, 1.14f, -4.5f), 270.0f);
}

void Arena::addSpawn(glm::vec3 position, float heading) {
    spawns.push_back({position, heading, floorAt(position.x, position.z)});
}

void Arena::frameOverview() {
    // The built-in arena's circle against its extent: its radius is 1.28 times the half
    // diagonal of the pieces seen from above, its height 0.6 times the radius.
    constexpr float kRadiusPerHalfDiagonal = 1.28f;
    constexpr float kHeightPerRadius = 0.6f;
    glm::vec2 low(0.0f);
    glm::vec2 high(0.0f);
    bool first = true;
    for (const ArenaPiece& piece : pieces) {
        if (!piece.visible) {
            continue;
        }
        for (int i = 0; i < piece.shape.m_count; ++i) {
            const b2Vec2 corner = b2Mul(piece.transform, piece.shape.m_vertices[i]);
            const glm::vec2 at(corner.x, corner.y);
            low = first ? at : glm::min(low, at);
            high = first ? at : glm::max(high, at);
            first = false;
        }
    }
    const glm::vec2 middle = (low + high) * 0.5f;
    overview.centre = glm::vec3(middle.x, 0.0f, middle.y);
    overview.radius = kRadiusPerHalfDiagonal * glm::length(high - low) * 0.5f;
    overview.height = kHeightPerRadius * overview.radius;
}

std::uint64_t Arena::hash() const {
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    const auto vector = [&out](glm::vec3 v) {
        out.f32(v.x);
        out.f32(v.y);
        out.f32(v.z);
    };
    out.u32(static_cast<std::uint32_t>(pieces.size()));
    for (const ArenaPiece& piece : pieces) {
        out.u8(static_cast<std::uint8_t>(piece.kind));
        out.u8(piece.visible ? 1 : 0);
        vector(piece.position);
        out.f32(piece.heading);
        vector(piece.scale);
    }
    out.u32(static_cast<std::uint32_t>(spawns.size()));
    for (const SpawnPoint& spawn : spawns) {
        vector(spawn.position);
        out.f32(spawn.heading);
    }
    return fnv1a(bytes.data(), bytes.size());
}

namespace {
bool holds(const CollisionBody& body, glm::vec3 point) {
    return body.shape.TestPoint(body.transform, b2Vec2(point.x, point.z));
}
} // namespace

float Arena::firstObstacle(glm::vec3 from, glm::vec3 to) const {
    float nearest = 1.0f;
    for (const ArenaPiece& piece : pieces) {
        if (!piece.visible) {
            continue;
        }
        const CollisionBody& body = piece;
        float in = 0.0f;
        if (holds(body, from) || !body.entry(from, to, in)) {
            continue;
        }
        float back = 0.0f;
        const float out = holds(body, to) || !body.entry(to, from, back) ? 1.0f : 1.0f - back;
        const float lowest = std::min(glm::mix(from.y, to.y, in), glm::mix(from.y, to.y, out));
        if (lowest < body.top) {
            nearest = std::min(nearest, in);
        }
    }
    return nearest;
}

float Arena::floorAt(float x, float z) const {
    float floor = 0.0f;
    for (const ArenaPiece& piece : pieces) {
        if (piece.kind == PieceKind::Ground && holds(piece, glm::vec3(x, 0.0f, z))) {
            floor = std::max(floor, piece.top);
        }
    }
    return floor;
}
