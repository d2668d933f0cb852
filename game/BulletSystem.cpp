#include "game/BulletSystem.h"

#include <algorithm>

void BulletSystem::spawn(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
                         glm::vec3 origin, int seat) {
    bullets.emplace_back(direction, position, speed, lifetime, bounds, origin, seat);
}

void BulletSystem::updateAll(float dtSeconds) {
    for (Bullet& bullet : bullets) {
        bullet.update(dtSeconds);
    }
    bullets.erase(std::remove_if(bullets.begin(), bullets.end(),
                                 [](const Bullet& bullet) { return bullet.dead; }),
                  bullets.end());
}
