#include "game/BulletSystem.h"

void BulletSystem::spawn(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
                         glm::vec3 origin) {
    bullets.emplace_back(direction, position, speed, lifetime, bounds, origin);
}

void BulletSystem::updateAll(float dtSeconds) {
    for (auto it = bullets.begin(); it != bullets.end();) {
        it->update(dtSeconds);
        it = it->dead ? bullets.erase(it) : std::next(it);
    }
}
