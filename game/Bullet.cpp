#include "game/Bullet.h"

#include "game/Angles.h"

#include <cmath>

namespace {
const glm::vec3 kUnitScale(1.0f);

// Heading of the footprint in Box2D's sense: the angle from +Z, mirrored for directions
// towards −X.
float flightHeading(glm::vec3 direction) {
    float theta = static_cast<float>(std::acos(direction.z) * kRadiansToDegreesExact);
    if (direction.x < 0.0f) {
        theta = kFullTurnDegrees - theta;
    }
    return theta;
}
} // namespace

Bullet::Bullet(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
               const Bounds& bounds, glm::vec3 origin, int owner)
    : direction(glm::normalize(direction)), position(position), speed(speed), age(0.0f),
      lifetime(lifetime), dead(false), previousPosition(position), origin(origin), owner(owner) {
    initBody(bounds, 0.0f, position, kUnitScale);
    fitToDirection(bounds);
}

void Bullet::fitToDirection(const Bounds& bounds) {
    fitFootprint(bounds, kUnitScale, flightHeading(direction), glm::vec3(0.0f));
    transform.Set(b2Vec2(position.x, position.z), 0.0f);
    bottom = position.y;
    top = position.y + height;
}

void Bullet::update(float dtSeconds) {
    previousPosition = position;
    position += (speed * direction) * dtSeconds;
    transform.p.Set(position.x, position.z);
    bottom = position.y;
    top = position.y + height;
    age += dtSeconds;
    if (lifetime < age) {
        dead = true;
    }
}

float Bullet::drawHeading() const {
    float angle = static_cast<float>(-std::acos(-direction.z) * kRadiansToDegreesExact);
    if (direction.x < 0.0f) {
        angle = -angle;
    }
    return angle;
}
