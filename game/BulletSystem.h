#pragma once

#include "game/Bounds.h"
#include "game/Bullet.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

// The live bullets, oldest first, as plain values. Room for kReserved is made once, so that
// shots in play do not allocate (a copy has only the room its bullets take).
class BulletSystem {
public:
    static constexpr std::size_t kReserved = 64;

    // bounds are the bullet's box; every bullet's body is sized from them.
    explicit BulletSystem(const Bounds& bounds) : bounds(bounds) { bullets.reserve(kReserved); }

    // Appends a bullet fired by seat from origin in the match's tick firedTick (see Bullet).
    void spawn(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
               glm::vec3 origin, int seat, std::uint32_t firedTick);
    // The live bullet fired by owner in firedTick, or null.
    const Bullet* find(int owner, std::uint32_t firedTick) const;
    Bullet* find(int owner, std::uint32_t firedTick) {
        return const_cast<Bullet*>(static_cast<const BulletSystem&>(*this).find(owner, firedTick));
    }
    // Moves every bullet, then removes those that are dead, whether their lifetime ran out in
    // this update or a hit marked them since the last one.
    void updateAll(float dtSeconds);
    // Removes every bullet.
    void clear() { bullets.clear(); }

    std::vector<Bullet> bullets;
    Bounds bounds;
};
