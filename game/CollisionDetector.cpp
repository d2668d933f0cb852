#include "game/CollisionDetector.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace {
// A tank is blocked by a piece when its bottom, raised by this much, lies inside the piece's
// height; otherwise the piece is the floor beneath it.
constexpr float kStepClearance = 0.01f;
// Pushing out of several pieces at once (a corner), or out of a piece and the other tank, can
// need a few rounds.
constexpr int kPushRounds = 4;
// Distance left between a pushed tank and what it was pushed from, beyond the contact margin.
constexpr float kPushSlack = 0.002f; // units

// The order two tanks are compared in: by where they stand, never by their seats.
bool standsBefore(const Tank& a, const Tank& b) {
    return std::tie(a.position.x, a.position.z, a.heading, a.turretHeading) <
           std::tie(b.position.x, b.position.z, b.heading, b.turretHeading);
}

void moveBy(Tank& tank, glm::vec2 offset) {
    tank.position.x += offset.x;
    tank.position.z += offset.y;
    tank.updateTransform();
}
} // namespace

CollisionDetector::CollisionDetector(std::vector<Tank*> tanks, const std::vector<ArenaPiece>& walls,
                                     BulletSystem& bulletSystem)
    : tanks(std::move(tanks)), walls(walls), manifold(), bulletSystem(bulletSystem) {
    fitTo(this->tanks.size());
}

void CollisionDetector::fitTo(std::size_t count) {
    turnedHeadings.resize(count);
    hittable.resize(count);
    order.resize(count);
}

bool CollisionDetector::overlap(const CollisionBody& first, const CollisionBody& second) {
    b2CollidePolygons(&manifold, &first.shape, first.transform, &second.shape, second.transform);
    return manifold.pointCount > 0;
}

bool CollisionDetector::tankContact(const Tank& first, const Tank& second, glm::vec2& normal,
                                    float& depth) {
    const bool swapped = standsBefore(second, first);
    const Tank& a = swapped ? second : first;
    const Tank& b = swapped ? first : second;
    if (!overlap(a, b)) {
        return false;
    }
    b2WorldManifold contact;
    contact.Initialize(&manifold, a.transform, a.shape.m_radius, b.transform, b.shape.m_radius);
    depth = 0.0f;
    for (int i = 0; i < manifold.pointCount; ++i) {
        depth = std::max(depth, -contact.separations[i]);
    }
    normal = glm::vec2(contact.normal.x, contact.normal.y) * (swapped ? -1.0f : 1.0f);
    return true;
}

bool CollisionDetector::blocks(const Tank& tank, const ArenaPiece& piece) const {
    return piece.spans(tank.bottom + kStepClearance);
}

void CollisionDetector::detect(EventList& events) {
    // The tanks in play, by where they stand.
    std::size_t inPlay = 0;
    for (std::size_t i = 0; i < tanks.size(); ++i) {
        turnedHeadings[i] = tanks[i]->heading;
        if (tanks[i]->inPlay()) {
            order[inPlay++] = static_cast<int>(i);
        }
    }
    const auto first = order.begin();
    const auto last = order.begin() + static_cast<std::ptrdiff_t>(inPlay);
    std::sort(first, last, [this](int a, int b) { return standsBefore(*tanks[a], *tanks[b]); });
    // No height test between tanks: one in the air still collides with the other. Both yield.
    glm::vec2 normal;
    float depth = 0.0f;
    for (auto i = first; i != last; ++i) {
        for (auto j = i + 1; j != last; ++j) {
            if (tankContact(*tanks[*i], *tanks[*j], normal, depth)) {
                for (const int each : {*i, *j}) {
                    tanks[each]->undoMove();
                    logLine(events, "TANKS collided");
                }
            }
        }
    }
    for (auto i = first; i != last; ++i) {
        detectWalls(*tanks[*i]);
    }
    for (auto i = first; i != last; ++i) {
        Tank& tank = *tanks[*i];
        if (tank.blocked && tank.heading != turnedHeadings[*i]) {
            retryTurn(tank, turnedHeadings[*i]);
        }
        pushOutOfWalls(tank);
    }
    for (int round = 0; round < kPushRounds && !separateTanks(inPlay); ++round) {
        for (auto i = first; i != last; ++i) {
            pushOutOfWalls(*tanks[*i]);
        }
    }
    for (std::size_t i = 0; i < tanks.size(); ++i) {
        hittable[i] = tanks[i]->inPlay() && tanks[i]->graceTicks == 0;
    }
    for (std::size_t i = 0; i < bulletSystem.bullets.size(); ++i) {
        detectBullet(static_cast<int>(i), events);
    }
}

void CollisionDetector::detectWalls(Tank& tank) {
    for (const ArenaPiece& piece : walls) {
        if (!overlap(tank, piece)) {
            continue;
        }
        if (blocks(tank, piece)) {
            tank.undoMove();
        } else {
            tank.floorLevel = piece.top;
        }
    }
}

void CollisionDetector::retryTurn(Tank& tank, float turnedHeading) {
    const float undoneHeading = tank.heading;
    tank.heading = turnedHeading;
    tank.updateTransform();
    if (!pushOutOfWalls(tank)) {
        tank.heading = undoneHeading;
        tank.updateTransform();
    }
}

bool CollisionDetector::pushOutOfWalls(Tank& tank) {
    const glm::vec3 start = tank.position;
    for (int round = 0; round <= kPushRounds; ++round) {
        bool touching = false;
        for (const ArenaPiece& piece : walls) {
            if (!blocks(tank, piece) || !overlap(tank, piece)) {
                continue;
            }
            touching = true;
            if (round == kPushRounds) {
                break; // the last round only looks
            }
            b2WorldManifold contact;
            contact.Initialize(&manifold, tank.transform, tank.shape.m_radius, piece.transform,
                               piece.shape.m_radius);
            float depth = 0.0f;
            for (int i = 0; i < manifold.pointCount; ++i) {
                depth = std::max(depth, -contact.separations[i]);
            }
            // The normal points from the tank into the piece.
            moveBy(tank, -glm::vec2(contact.normal.x, contact.normal.y) * (depth + kPushSlack));
        }
        if (!touching) {
            return true;
        }
    }
    // Wedged: no way out along the normals; it stays where the rules left it.
    tank.position = start;
    tank.updateTransform();
    return false;
}

bool CollisionDetector::separateTanks(std::size_t inPlay) {
    bool apart = true;
    glm::vec2 normal;
    float depth = 0.0f;
    for (std::size_t i = 0; i < inPlay; ++i) {
        for (std::size_t j = i + 1; j < inPlay; ++j) {
            Tank& first = *tanks[static_cast<std::size_t>(order[i])];
            Tank& second = *tanks[static_cast<std::size_t>(order[j])];
            if (tankContact(first, second, normal, depth)) {
                apart = false;
                const glm::vec2 half = normal * (0.5f * depth + kPushSlack);
                moveBy(first, -half);
                moveBy(second, half);
            }
        }
    }
    return apart;
}

void CollisionDetector::detectBullet(int index, EventList& events) {
    Bullet& bullet = bulletSystem.bullets[static_cast<std::size_t>(index)];
    if (bullet.fresh) {
        bullet.fresh = false;
        events.push_back({GameEventType::Shot, bullet.previousPosition, bullet.owner, "", index});
        if (sweepFromOrigin(index, events)) {
            return;
        }
    }
    // A bullet marked dead earlier in this step still hits: one bullet may cost both tanks a
    // life, or hit a tank and a piece, with one burst each.
    for (std::size_t seat = 0; seat < tanks.size(); ++seat) {
        Tank& tank = *tanks[seat];
        if (hittable[seat] && overlap(bullet, tank) && tank.spans(bullet.bottom)) {
            events.push_back(
                {GameEventType::TankHit, bullet.position, static_cast<int>(seat), "", index});
            if (destroyOnHit > 0) {
                tank.respawnTicks = destroyOnHit;
            } else if (tank.lives > 0) {
                tank.lives -= 1;
                tank.graceTicks = graceAfterHit;
                // Later bullets of this tick pass through, as the grace has begun.
                hittable[seat] = tank.graceTicks == 0;
            }
            bullet.dead = true;
            logLine(events, "Bullet Hits TANK");
        }
    }
    for (const ArenaPiece& piece : walls) {
        if (overlap(bullet, piece) && piece.spans(bullet.bottom)) {
            events.push_back({GameEventType::WallHit, bullet.position, kNoSeat, "", index});
            bullet.dead = true;
        }
    }
}

bool CollisionDetector::sweepFromOrigin(int index, EventList& events) {
    Bullet& bullet = bulletSystem.bullets[static_cast<std::size_t>(index)];
    float nearest = 1.0f;
    bool hit = false;
    for (const ArenaPiece& piece : walls) {
        float in = 0.0f;
        if (piece.spans(bullet.bottom) && piece.entry(bullet.origin, bullet.position, in) &&
            in < nearest) {
            nearest = in;
            hit = true;
        }
    }
    if (hit) {
        const glm::vec3 wall = bullet.origin + nearest * (bullet.position - bullet.origin);
        events.push_back({GameEventType::WallHit, wall, kNoSeat, "", index});
        bullet.dead = true;
    }
    return hit;
}
