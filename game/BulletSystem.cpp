#include "game/BulletSystem.h"

#include <algorithm>

void BulletSystem::spawn(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
                         glm::vec3 origin, int seat, std::uint32_t firedTick) {
    bullets.emplace_back(direction, position, speed, lifetime, bounds, origin, seat).firedTick =
        firedTick;
}

const Bullet* BulletSystem::find(int owner, std::uint32_t firedTick) const {
    for (const Bullet& bullet : bullets) {
        if (bullet.owner == owner && bullet.firedTick == firedTick) {
            return &bullet;
        }
    }
    return nullptr;
}

void BulletSystem::updateAll(float dtSeconds) {
    for (Bullet& bullet : bullets) {
        bullet.update(dtSeconds);
    }
    bullets.erase(std::remove_if(bullets.begin(), bullets.end(),
                                 [](const Bullet& bullet) { return bullet.dead; }),
                  bullets.end());
}
