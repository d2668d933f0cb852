#pragma once

#include "game/Bounds.h"
#include "game/Bullet.h"

#include <glm/glm.hpp>

#include <list>

// The live bullets, oldest first. Each is one list node: a shot costs one allocation and a
// bullet keeps its address for its whole flight.
class BulletSystem {
public:
    // bounds are the bullet model's; every bullet's body is sized from them.
    explicit BulletSystem(const Bounds& bounds) : bounds(bounds) {}

    // Appends a bullet fired from origin (see Bullet).
    void spawn(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
               glm::vec3 origin);
    // Moves every bullet, then removes those that are dead, whether their lifetime ran out in
    // this update or a hit marked them since the last one.
    void updateAll(float dtSeconds);
    // Removes every bullet.
    void clear() { bullets.clear(); }

    std::list<Bullet> bullets;
    Bounds bounds;
};
