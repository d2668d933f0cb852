#include "game/Arena.h"

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
}
