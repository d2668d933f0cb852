#include "game/ShotPath.h"

#include "game/Angles.h"
#include "game/BodySizes.h"

#include <algorithm>

glm::vec3 shotEnd(const Match& match, int seat, const TankPose& pose) {
    constexpr float kRange = Tank::kBulletSpeed * Tank::kBulletLifetime; // units
    const float height = pose.position.y + Tank::kMuzzleLift;
    const glm::vec3 origin(pose.position.x, height, pose.position.z);
    const glm::vec3 far = origin + headingDirection(pose.turretHeading) * kRange;
    float nearest = 1.0f;
    const auto meet = [&](const CollisionBody& body) {
        float in = 0.0f;
        if (body.spans(height) && body.entry(origin, far, in)) {
            nearest = std::min(nearest, in);
        }
    };
    for (const ArenaPiece& piece : match.arena.pieces) {
        meet(piece);
    }
    for (int other = 0; other < match.seatCount(); ++other) {
        if (other != seat && match.tank(other).inPlay()) {
            meet(match.tank(other));
        }
    }
    return glm::mix(origin, far, nearest) + glm::vec3(0.0f, kBulletBounds.size().y * 0.5f, 0.0f);
}
