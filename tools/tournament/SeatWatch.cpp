#include "SeatWatch.h"

#include "game/Match.h"

#include <algorithm>

namespace {
constexpr float kHigher = 0.5f; // units above the starting floor that count as a higher one
} // namespace

void SeatWatch::observe(const Match& match, int seat, const EventList& events) {
    const Seat& at = match.seat(seat);
    const Tank& tank = at.tank;
    if (!started) {
        started = true;
        startFloor = tank.groundLevel;
        spot = tank.position;
    }
    climbed = climbed || (tank.onGround && tank.groundLevel > startFloor + kHigher);
    for (const GameEvent& event : events) {
        if (event.bullet == kNoBullet) {
            continue;
        }
        const Bullet& bullet = match.state.bullets.bullets[static_cast<std::size_t>(event.bullet)];
        if (event.type == GameEventType::Shot && event.seat == seat) {
            ++shots;
            blindShots += lineToEnemy(match, seat, bullet.origin) ? 0 : 1;
        } else if (event.type == GameEventType::TankHit && bullet.owner == seat &&
                   match.state.enemies(seat, event.seat)) {
            ++hits;
        }
    }
    const bool away =
        glm::length(glm::vec2(tank.position.x - spot.x, tank.position.z - spot.z)) > kStuckRadius;
    if (!tank.inPlay() || !at.wantsToMove() || away) {
        spot = tank.position;
        stuck = 0.0f;
        return;
    }
    const bool spell = stuck <= kStuckSeconds;
    stuck += Match::kTickSeconds;
    stuckSpells += spell && stuck > kStuckSeconds ? 1 : 0;
    longestStuck = std::max(longestStuck, stuck);
}

bool SeatWatch::lineToEnemy(const Match& match, int seat, glm::vec3 gun) const {
    for (int other = 0; other < match.seatCount(); ++other) {
        const Tank& them = match.tank(other);
        if (!match.state.enemies(seat, other) || !them.inPlay() || !them.spans(gun.y)) {
            continue;
        }
        if (match.arena.firstObstacle(gun, glm::vec3(them.position.x, gun.y, them.position.z)) ==
            1.0f) {
            return true;
        }
    }
    return false;
}
