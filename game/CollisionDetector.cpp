#include "game/CollisionDetector.h"

#include <iostream>

CollisionDetector* collisionDetector = nullptr;

namespace {
// A tank is blocked by a piece when its bottom, raised by this much, lies inside the piece's
// height; otherwise the piece is the floor beneath it.
constexpr float kStepClearance = 0.01f;
} // namespace

CollisionDetector::CollisionDetector(std::vector<Tank*>* tanks, std::vector<ArenaPiece*>* walls,
                                     BulletSystem* bulletSystem, ParticleEffects* particles)
    : tanks(tanks), walls(walls), manifold(), bulletSystem(bulletSystem), particles(particles) {}

bool CollisionDetector::overlap(const CollisionBody& first, const CollisionBody& second) {
    b2CollidePolygons(&manifold, &first.shape, first.transform, &second.shape, second.transform);
    return manifold.pointCount > 0;
}

void CollisionDetector::detect() {
    for (Tank* tank : *tanks) {
        detectTank(*tank);
    }
    for (Bullet* bullet : bulletSystem->bullets) {
        detectBullet(*bullet);
    }
}

void CollisionDetector::detectTank(Tank& tank) {
    // No height test between tanks: one in the air still collides with the other.
    for (Tank* other : *tanks) {
        if (other != &tank && overlap(*other, tank)) {
            tank.undoMove();
            std::cout << "TANKS collided" << std::endl;
        }
    }
    for (ArenaPiece* piece : *walls) {
        if (!overlap(tank, *piece)) {
            continue;
        }
        const float lifted = tank.bottom + kStepClearance;
        if (piece->bottom < lifted && lifted < piece->top) {
            tank.undoMove();
        } else {
            tank.floorLevel = piece->top;
        }
    }
}

void CollisionDetector::detectBullet(Bullet& bullet) {
    // A bullet marked dead earlier in this frame still hits: one bullet may cost both tanks a
    // life, or hit a tank and a piece, with one burst each.
    for (Tank* tank : *tanks) {
        if (overlap(bullet, *tank) && tank->bottom < bullet.bottom && bullet.bottom < tank->top) {
            particles->trigger(bullet.position);
            if (tank->lives > 0) {
                tank->lives -= 1;
            }
            bullet.dead = true;
            std::cout << "Bullet Hits TANK" << std::endl;
        }
    }
    for (ArenaPiece* piece : *walls) {
        if (overlap(bullet, *piece) && piece->bottom < bullet.bottom &&
            bullet.bottom < piece->top) {
            particles->trigger(bullet.position);
            bullet.dead = true;
        }
    }
}
