#include "game/Gunner.h"

#include "game/Angles.h"
#include "game/Awareness.h"
#include "game/ControllerView.h"
#include "game/Random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kMuzzleDistance = 2.5f; // units ahead of the tank a bullet starts
constexpr float kBulletLift = 0.09f;    // units above the tank's base: a bullet's middle
constexpr float kBulletBottom = 0.01f;  // units above the tank's base: a bullet's bottom
constexpr float kHullHeight = 0.5f;     // units
constexpr float kMateRoom = 1.6f;       // units: a team mate nearer the line is in the way
constexpr int kLeadRounds = 3;          // of working out where bullet and tank meet
constexpr int kGaussianTerms = 4;       // uniform draws summed for one normal draw
constexpr float kUnitsPerDraw = 1.0f / 4294967296.0f;

glm::vec2 ground(glm::vec3 v) {
    return glm::vec2(v.x, v.z);
}

float headingTo(glm::vec3 from, glm::vec3 to) {
    const glm::vec2 way = ground(to - from);
    if (glm::dot(way, way) == 0.0f) {
        return 0.0f;
    }
    const glm::vec2 unit = glm::normalize(way);
    return headingOf(glm::vec3(unit.x, 0.0f, unit.y));
}

// A draw of about a normal distribution (mean 0, deviation 1), from a few uniform ones.
float normalDraw(Random& random) {
    float sum = 0.0f;
    for (int i = 0; i < kGaussianTerms; ++i) {
        sum += static_cast<float>(random()) * kUnitsPerDraw;
    }
    return (sum - 0.5f * kGaussianTerms) * std::sqrt(12.0f / kGaussianTerms);
}

// Where a bullet fired from `from` meets a tank at `at` moving at velocity.
glm::vec3 meeting(glm::vec3 from, glm::vec3 at, glm::vec3 velocity) {
    float seconds = 0.0f;
    for (int round = 0; round < kLeadRounds; ++round) {
        const float distance = glm::length(ground(at + velocity * seconds - from));
        seconds = std::max(0.0f, distance - kMuzzleDistance) / Tank::kBulletSpeed;
    }
    return at + velocity * seconds;
}
} // namespace

void Gunner::draw(const ControllerView& view, Random& random) {
    aimError = normalDraw(random) * view.figures.aimErrorDegrees;
    leadScale = 1.0f + normalDraw(random) * view.figures.leadError;
}

void Gunner::aim(const ControllerView& view, const Awareness& awareness, int target,
                 glm::vec3 lookAt, Random& random, TankCommand& command) {
    const Tank& own = view.own();
    const std::uint32_t tick = view.state.tick;
    if (target != aimedAt) {
        aimedAt = target;
        draw(view, random);
    }
    const std::uint32_t reaction = ControllerView::ticks(view.figures.reactionSeconds);
    const bool inSight = target != kNoSeat && awareness.aimsAt(target, tick, reaction);
    glm::vec3 point = lookAt;
    float wanted = headingTo(own.position, lookAt);
    if (inSight) {
        const Contact& contact = awareness.contact(target);
        point = meeting(own.position, contact.position, contact.velocity * leadScale);
        wanted = headingTo(own.position, point) + aimError;
    } else if (ground(lookAt - own.position) == glm::vec2(0.0f)) {
        wanted = own.turretHeading;
    }
    // The hull's turn turns the turret too, after the turret has turned to its aim.
    const float hullTurn = command.turnDegreesPerSecond() * Match::kTickSeconds;
    command.aim = TankCommand::aimOf(wanted - hullTurn);
    if (!inSight) {
        return;
    }
    const float maxStep = Match::kPersonAimDegreesPerSecond * Match::kTickSeconds;
    const float turret =
        own.turretHeading +
        std::clamp(headingDifference(own.turretHeading, wanted - hullTurn), -maxStep, maxStep) +
        hullTurn;
    const Contact& contact = awareness.contact(target);
    const float distance = glm::length(ground(contact.position - own.position));
    const bool ready = own.reloadTicks == 0 && !own.triggerHeld &&
                       tick - firedTick >= ControllerView::ticks(view.figures.shotPause);
    if (ready && std::abs(headingDifference(turret, wanted)) <= view.figures.aimTolerance &&
        distance <= view.figures.fireRange && clearLine(view, point) &&
        clearLine(view, contact.position)) {
        command.fire = true;
        firedTick = tick;
        draw(view, random);
    }
}

bool Gunner::clearLine(const ControllerView& view, glm::vec3 to) const {
    const Tank& own = view.own();
    const float bottom = own.position.y + kBulletBottom;
    if (!(to.y < bottom && bottom < to.y + kHullHeight)) {
        return false;
    }
    const glm::vec3 from = own.position + glm::vec3(0.0f, kBulletLift, 0.0f);
    const glm::vec3 end(to.x, from.y, to.z);
    if (view.arena.firstObstacle(from, end) < 1.0f) {
        return false;
    }
    // No team mate between.
    const glm::vec2 line = ground(end - from);
    const float length = glm::length(line);
    for (int other = 0; other < view.state.seatCount(); ++other) {
        if (other == view.seat || view.state.enemies(view.seat, other) ||
            !view.tank(other).inPlay()) {
            continue;
        }
        const glm::vec2 offset = ground(view.tank(other).position - from);
        const float along = glm::dot(offset, line) / length;
        const float aside = std::abs(offset.x * line.y - offset.y * line.x) / length;
        if (along > 0.0f && along < length && aside < kMateRoom) {
            return false;
        }
    }
    return true;
}
