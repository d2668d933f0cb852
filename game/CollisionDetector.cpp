#include "game/CollisionDetector.h"

#include <algorithm>
#include <utility>

namespace {
// A tank is blocked by a piece when its bottom, raised by this much, lies inside the piece's
// height; otherwise the piece is the floor beneath it.
constexpr float kStepClearance = 0.01f;
// Pushing out of several pieces at once (a corner) can need a few rounds.
constexpr int kPushRounds = 4;
// Distance left between a pushed tank and what it was pushed from, beyond the contact margin.
constexpr float kPushSlack = 0.002f; // units
} // namespace

CollisionDetector::CollisionDetector(std::vector<Tank*> tanks, const std::vector<ArenaPiece>& walls,
                                     BulletSystem& bulletSystem)
    : tanks(std::move(tanks)), walls(walls), manifold(), bulletSystem(bulletSystem),
      turnedHeadings(this->tanks.size()) {}

bool CollisionDetector::overlap(const CollisionBody& first, const CollisionBody& second) {
    b2CollidePolygons(&manifold, &first.shape, first.transform, &second.shape, second.transform);
    return manifold.pointCount > 0;
}

bool CollisionDetector::blocks(const Tank& tank, const ArenaPiece& piece) const {
    return piece.spans(tank.bottom + kStepClearance);
}

TankSide CollisionDetector::side(const Tank& tank) const {
    return &tank == tanks[0] ? TankSide::Player : TankSide::Computer;
}

void CollisionDetector::detect(EventList& events) {
    for (std::size_t i = 0; i < tanks.size(); ++i) {
        turnedHeadings[i] = tanks[i]->heading;
    }
    for (Tank* tank : tanks) {
        detectTank(*tank, events);
    }
    for (std::size_t i = 0; i < tanks.size(); ++i) {
        Tank& tank = *tanks[i];
        if (tank.blocked && tank.heading != turnedHeadings[i]) {
            retryTurn(tank, turnedHeadings[i]);
        }
        pushOut(tank);
    }
    for (Bullet& bullet : bulletSystem.bullets) {
        detectBullet(bullet, events);
    }
}

void CollisionDetector::detectTank(Tank& tank, EventList& events) {
    // No height test between tanks: one in the air still collides with the other.
    for (Tank* other : tanks) {
        if (other != &tank && overlap(*other, tank)) {
            tank.undoMove();
            logLine(events, "TANKS collided");
        }
    }
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
    if (!pushOut(tank)) {
        tank.heading = undoneHeading;
        tank.updateTransform();
    }
}

bool CollisionDetector::pushOut(Tank& tank) {
    const glm::vec3 start = tank.position;
    for (int round = 0; round <= kPushRounds; ++round) {
        bool touching = false;
        const auto pushFrom = [&](const CollisionBody& body) {
            if (round == kPushRounds) {
                return; // the last round only looks
            }
            b2WorldManifold contact;
            contact.Initialize(&manifold, tank.transform, tank.shape.m_radius, body.transform,
                               body.shape.m_radius);
            float depth = 0.0f;
            for (int i = 0; i < manifold.pointCount; ++i) {
                depth = std::max(depth, -contact.separations[i]);
            }
            // The normal points from the tank into the body.
            const float distance = depth + kPushSlack;
            tank.position.x -= contact.normal.x * distance;
            tank.position.z -= contact.normal.y * distance;
            tank.updateTransform();
        };
        for (Tank* other : tanks) {
            if (other != &tank && overlap(tank, *other)) {
                touching = true;
                pushFrom(*other);
            }
        }
        for (const ArenaPiece& piece : walls) {
            if (blocks(tank, piece) && overlap(tank, piece)) {
                touching = true;
                pushFrom(piece);
            }
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

void CollisionDetector::detectBullet(Bullet& bullet, EventList& events) {
    if (bullet.fresh) {
        bullet.fresh = false;
        events.push_back({GameEventType::Shot, bullet.previousPosition, TankSide::None, ""});
        if (sweepFromOrigin(bullet, events)) {
            return;
        }
    }
    // A bullet marked dead earlier in this step still hits: one bullet may cost both tanks a
    // life, or hit a tank and a piece, with one burst each.
    for (Tank* tank : tanks) {
        if (overlap(bullet, *tank) && tank->spans(bullet.bottom)) {
            events.push_back({GameEventType::TankHit, bullet.position, side(*tank), ""});
            if (tank->lives > 0) {
                tank->lives -= 1;
            }
            bullet.dead = true;
            logLine(events, "Bullet Hits TANK");
        }
    }
    for (const ArenaPiece& piece : walls) {
        if (overlap(bullet, piece) && piece.spans(bullet.bottom)) {
            events.push_back({GameEventType::WallHit, bullet.position, TankSide::None, ""});
            bullet.dead = true;
        }
    }
}

bool CollisionDetector::sweepFromOrigin(Bullet& bullet, EventList& events) {
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
        events.push_back({GameEventType::WallHit, wall, TankSide::None, ""});
        bullet.dead = true;
    }
    return hit;
}
