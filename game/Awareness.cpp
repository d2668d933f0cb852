#include "game/Awareness.h"

#include "game/Angles.h"
#include "game/ControllerView.h"

#include <cmath>
#include <tuple>

namespace {
constexpr float kEyeHeight = 0.45f;    // units above a tank's base: its turret
constexpr float kBodyHeight = 0.25f;   // units above a tank's base: the middle of its hull
constexpr float kLoudThrottle = 0.4f;  // an engine working this hard is heard
constexpr float kSmoothing = 0.5f;     // of each new sight of a tank's motion
constexpr float kThreatMiss = 1.6f;    // units: a bullet passing nearer than this hits
constexpr float kThreatHorizon = 1.5f; // seconds: bullets passing later are no threat yet
constexpr float kComeBack = 1.0f;      // units: no tick's drive moves a tank this far
constexpr float kTouching = 2.9f;      // units between two tanks' middles: they may touch, felt

glm::vec2 ground(glm::vec3 v) {
    return glm::vec2(v.x, v.z);
}

bool inCone(float turretHeading, glm::vec2 toward, float coneDegrees) {
    const float heading = headingOf(glm::normalize(glm::vec3(toward.x, 0.0f, toward.y)));
    return std::abs(headingDifference(turretHeading, heading)) <= 0.5f * coneDegrees;
}

glm::vec3 eyeOf(const Tank& tank) {
    return tank.position + glm::vec3(0.0f, kEyeHeight, 0.0f);
}

void know(Contact& contact, glm::vec3 where, std::uint32_t tick) {
    if (!contact.known()) {
        contact.knownTick = tick;
    }
    if (!contact.seen) {
        contact.position = where;
        contact.velocity = glm::vec3(0.0f);
    }
    contact.lastTick = tick;
}
} // namespace

bool Awareness::reactsTo(int seat, std::uint32_t tick, std::uint32_t reactionTicks) const {
    const Contact& known = contact(seat);
    return known.known() && tick - known.knownTick >= reactionTicks;
}

bool Awareness::aimsAt(int seat, std::uint32_t tick, std::uint32_t reactionTicks) const {
    const Contact& known = contact(seat);
    return known.seen && tick - known.sightTick >= reactionTicks;
}

void Awareness::perceive(const ControllerView& view) {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    moved = glm::length(ground(own.position - lastPosition)) > kComeBack;
    lastPosition = own.position;
    if (own.lives < lives) {
        hitTick = tick;
    }
    lives = own.lives;
    for (int other = 0; other < view.state.seatCount(); ++other) {
        if (other == view.seat) {
            continue;
        }
        if (view.state.enemies(view.seat, other)) {
            look(view, other);
            continue;
        }
        // A team mate, known wherever it is.
        Contact& mate = contacts[static_cast<std::size_t>(other)];
        mate.seen = false;
        know(mate, view.tank(other).position, tick);
        mate.position = view.tank(other).position;
    }
    listen(view);
    watchBullets(view);
    const std::uint32_t memory = ControllerView::ticks(view.figures.memorySeconds);
    for (Contact& each : contacts) {
        if (each.known() && !each.seen && tick - each.lastTick > memory) {
            each = Contact();
        }
    }
}

void Awareness::look(const ControllerView& view, int other) {
    const Tank& own = view.own();
    const Tank& them = view.tank(other);
    Contact& contact = contacts[static_cast<std::size_t>(other)];
    const std::uint32_t tick = view.state.tick;
    const bool wasSeen = contact.seen;
    bool sees = false;
    if (them.inPlay()) {
        const glm::vec2 toward = ground(them.position - own.position);
        const float distance = glm::length(toward);
        sees = distance <= view.figures.viewRange && distance > 0.0f &&
               inCone(own.turretHeading, toward, view.figures.viewConeDegrees) &&
               view.arena.firstObstacle(eyeOf(own),
                                        them.position + glm::vec3(0.0f, kBodyHeight, 0.0f)) == 1.0f;
    }
    if (!sees) {
        contact.seen = false;
        contact.sightTick = 0;
        if (wasSeen && !them.inPlay()) {
            contact = Contact(); // seen destroyed
        }
        return;
    }
    if (wasSeen) {
        const glm::vec3 motion = (them.position - contact.position) / Match::kTickSeconds;
        contact.velocity += kSmoothing * (motion - contact.velocity);
    } else {
        contact.velocity = glm::vec3(0.0f);
        contact.sightTick = tick;
    }
    if (!contact.known()) {
        contact.knownTick = tick;
    }
    contact.position = them.position;
    contact.lastTick = tick;
    contact.seen = true;
}

// Shots and engines heard, and a tank felt against the hull.
void Awareness::listen(const ControllerView& view) {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    for (const Bullet& bullet : view.state.bullets.bullets) {
        if (bullet.firedTick + 1 != tick || !view.state.enemies(view.seat, bullet.owner)) {
            continue;
        }
        Contact& shooter = contacts[static_cast<std::size_t>(bullet.owner)];
        if (shooter.seen ||
            glm::length(ground(bullet.origin - own.position)) <= view.figures.shotHearing) {
            know(shooter, bullet.origin, tick);
            shooter.firedTick = bullet.firedTick;
        }
    }
    for (int other = 0; other < view.state.seatCount(); ++other) {
        const Tank& them = view.tank(other);
        const float distance = glm::length(ground(them.position - own.position));
        const bool heard =
            them.throttle() >= kLoudThrottle && distance <= view.figures.engineHearing;
        if (view.state.enemies(view.seat, other) && them.inPlay() &&
            (heard || distance < kTouching)) {
            know(contacts[static_cast<std::size_t>(other)], them.position, tick);
        }
    }
}

void Awareness::watchBullets(const ControllerView& view) {
    const Tank& own = view.own();
    const glm::vec2 ownVelocity = -ground(own.lastMove) / Match::kTickSeconds;
    const Bullet* soonest = nullptr;
    float soonestSeconds = 0.0f;
    for (const Bullet& bullet : view.state.bullets.bullets) {
        if (bullet.dead || bullet.owner == view.seat || !own.spans(bullet.bottom)) {
            continue;
        }
        const glm::vec2 offset = ground(bullet.position - own.position);
        const float distance = glm::length(offset);
        const glm::vec2 closing = ground(bullet.direction) * bullet.speed - ownVelocity;
        const float closingSquared = glm::dot(closing, closing);
        if (distance > view.figures.bulletSightRange || distance == 0.0f ||
            closingSquared == 0.0f || glm::dot(offset, closing) >= 0.0f) {
            continue;
        }
        const float seconds = -glm::dot(offset, closing) / closingSquared;
        const float miss = glm::length(offset + closing * seconds);
        if (seconds > kThreatHorizon || miss > kThreatMiss ||
            !inCone(own.turretHeading, offset, view.figures.viewConeDegrees) ||
            view.arena.firstObstacle(eyeOf(own), bullet.position) < 1.0f) {
            continue;
        }
        if (soonest == nullptr || seconds < soonestSeconds ||
            (seconds == soonestSeconds && std::tie(bullet.position.x, bullet.position.z) <
                                              std::tie(soonest->position.x, soonest->position.z))) {
            soonest = &bullet;
            soonestSeconds = seconds;
        }
    }
    if (soonest == nullptr) {
        return;
    }
    threat = {view.state.tick, soonestSeconds, soonest->origin, soonest->owner, soonest->firedTick};
    if (view.state.enemies(view.seat, soonest->owner)) {
        // Where it came from tells where its gun was.
        Contact& shooter = contacts[static_cast<std::size_t>(soonest->owner)];
        know(shooter, soonest->origin, view.state.tick);
    }
}
