#include "game/CollisionBody.h"

#include "game/Angles.h"

namespace {
constexpr float kHalf = 0.5f;
} // namespace

CollisionBody::CollisionBody() {
    transform.SetIdentity();
}

void CollisionBody::initBody(const Bounds& bounds, float heading, glm::vec3 position,
                             glm::vec3 scale) {
    shape.m_radius = b2_polygonRadius;
    bottom = 0.0f;
    top = 0.0f;
    height = 0.0f;
    transform.SetIdentity();
    fitFootprint(bounds, scale, heading, position);
}

void CollisionBody::fitFootprint(const Bounds& bounds, glm::vec3 scale, float heading,
                                 glm::vec3 centre) {
    const glm::vec3 size = bounds.size();
    const float halfX = size.x * scale.x * kHalf;
    const float halfZ = size.z * scale.z * kHalf;
    height = size.y * scale.y;
    shape.SetAsBox(halfX, halfZ, b2Vec2(centre.x, centre.z), footprintRadians(heading));
    bottom = centre.y;
    top = centre.y + height;
}

bool CollisionBody::entry(glm::vec3 from, glm::vec3 to, float& fraction) const {
    b2RayCastInput ray;
    ray.p1.Set(from.x, from.z);
    ray.p2.Set(to.x, to.z);
    ray.maxFraction = 1.0f;
    b2RayCastOutput hit;
    if (!shape.RayCast(&hit, ray, transform, 0)) {
        return false;
    }
    fraction = hit.fraction;
    return true;
}
