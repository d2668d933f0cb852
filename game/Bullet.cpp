#include "game/Bullet.h"

#include "render/Math.h"

#include <cmath>
#include <utility>

namespace {
constexpr double kRadiansToDegreesExact = 57.29577791868205;
constexpr float kFullTurnDegrees = 360.0f;
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
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
               std::vector<Mesh*> meshes)
    : meshes(std::move(meshes)), direction(glm::normalize(direction)), position(position),
      speed(speed), age(0.0f), lifetime(lifetime), dead(false) {
    initBody(this->meshes, 0.0f, position, kUnitScale);
    fitFootprint(this->meshes, kUnitScale, flightHeading(this->direction), glm::vec3(0.0f));
    transform.Set(b2Vec2(position.x, position.z), 0.0f);
    bottom = position.y;
    top = position.y + height;
}

void Bullet::update(float dtSeconds) {
    position += (speed * direction) * dtSeconds;
    transform.p.Set(position.x, position.z);
    bottom = position.y;
    top = position.y + height;
    age += dtSeconds;
    if (lifetime < age) {
        dead = true;
    }
}

glm::mat4 Bullet::rotation() const {
    // The turret heading the bullet was fired with, between −180 and 180 degrees.
    float angle = static_cast<float>(-std::acos(-direction.z) * kRadiansToDegreesExact);
    if (direction.x < 0.0f) {
        angle = -angle;
    }
    return rotateDegrees(glm::mat4(1.0f), angle, kUp);
}

glm::mat4 Bullet::translation() const {
    return glm::translate(glm::mat4(1.0f), position);
}

void Bullet::draw() {
    if (dead) {
        return;
    }
    const glm::mat4 r = rotation();
    const glm::mat4 t = translation();
    for (Mesh* mesh : meshes) {
        mesh->setRotation(r);
        mesh->setTranslation(t);
        mesh->draw();
    }
}

void Bullet::drawShadow(GLuint shadowProgram, GLint modelLocation) {
    if (dead) {
        return;
    }
    const glm::mat4 r = rotation();
    const glm::mat4 t = translation();
    for (Mesh* mesh : meshes) {
        mesh->setRotation(r);
        mesh->setTranslation(t);
        mesh->drawWithProgram(shadowProgram, modelLocation);
    }
}
