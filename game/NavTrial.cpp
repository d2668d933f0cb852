#include "game/NavTrial.h"

#include "game/Angles.h"
#include "game/BodySizes.h"
#include "game/Clearance.h"
#include "game/CollisionDetector.h"
#include "game/Match.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kTick = Match::kTickSeconds;
constexpr float kReach = 1.0f; // units from the goal that count as there
constexpr float kLandingClearance = 0.01f;
constexpr float kOnFloor = 0.02f;       // units: a bottom this close above a floor stands on it
constexpr float kBottomToBlock = 0.01f; // the collision rules test a tank's bottom raised by this
constexpr float kHeadroom = 0.03f;      // units a jump keeps above each piece it clears
constexpr int kMinJumpTicks = 4;        // jumps pressed in that many ticks in a row must clear
constexpr std::size_t kMaxInWay = 8;    // pieces along one way taken into account
constexpr float kWayRadius = 1.5f;      // units from the way's line a hull can touch a piece at

// One tank alone on the arena, driven straight at full speed.
struct Run {
    Run(const Arena& arena, glm::vec3 start, float heading)
        : tank(kHullBounds, start, heading), none(kBulletBounds),
          detector({&tank}, arena.pieces, none) {
        tank.placeAt(start, heading, arena.floorAt(start.x, start.z));
    }
    // One tick; false when a piece held the tank back.
    bool step(bool jump) {
        tank.beginStep();
        tank.drive(1.0f);
        tank.update(kTick, jump);
        detector.detect(events);
        events.clear();
        return !tank.blocked;
    }
    Tank tank;
    BulletSystem none;
    CollisionDetector detector;
    EventList events;
};

bool standsOn(const Tank& tank, float floor) {
    return tank.onGround && std::abs(tank.position.y - (floor + kLandingClearance)) < kOnFloor;
}

glm::vec3 wayOf(glm::vec3 from, glm::vec3 to) {
    return glm::normalize(glm::vec3(to.x - from.x, 0.0f, to.z - from.z));
}

bool holds(const CollisionBody& body, glm::vec3 point) {
    return body.shape.TestPoint(body.transform, b2Vec2(point.x, point.z));
}

} // namespace

NavTrial::NavTrial(const Arena& arena, float runUp) : arena(arena), runUp(runUp) {
    Tank open(kHullBounds, glm::vec3(0.0f, kLandingClearance, 0.0f), 0.0f);
    Tank leap = open;
    const glm::vec3 way = headingDirection(0.0f);
    for (std::size_t tick = 0; tick < kMaxTicks; ++tick) {
        open.beginStep();
        open.drive(1.0f);
        open.update(kTick, false);
        progress[tick] = glm::dot(open.position, way) - runUp;
        leap.beginStep();
        leap.update(kTick, tick == 0);
        lift[tick] = leap.onGround ? 0.0f : leap.position.y - kLandingClearance;
    }
}

bool NavTrial::drives(glm::vec3 from, glm::vec3 to) const {
    const glm::vec3 way = wayOf(from, to);
    const float length = glm::dot(to - from, way);
    Run run(arena, from, headingOf(way));
    const float floor = arena.floorAt(to.x, to.z);
    for (int tick = 0; tick < kMaxTicks; ++tick) {
        if (!run.step(false)) {
            return false;
        }
        const glm::vec3 at = run.tank.position;
        if (glm::length(glm::vec2(at.x - to.x, at.z - to.z)) < kReach) {
            return standsOn(run.tank, floor);
        }
        if (glm::dot(at - from, way) > length + kReach) {
            return false;
        }
    }
    return false;
}

int NavTrial::pressTick(glm::vec3 from, glm::vec3 to) const {
    const glm::vec3 way = wayOf(from, to);
    const float heading = headingOf(way);
    const float floor = arena.floorAt(from.x, from.z);
    const glm::vec3 start = from - runUp * way;
    // The pieces standing on the floor along the way, and how high above the floor the tank's
    // bottom must be in each tick of the run not to be held back by them, until it is past to.
    const float standing = floor + kLandingClearance + kBottomToBlock;
    std::array<const ArenaPiece*, kMaxInWay> inWay{};
    std::size_t inWayCount = 0;
    for (const ArenaPiece& piece : arena.pieces) {
        const CollisionBody near = piece.grown(kWayRadius);
        float fraction = 0.0f;
        if (piece.bottom < standing && piece.top > standing && inWayCount < inWay.size() &&
            (holds(near, start) || holds(near, to) || near.entry(start, to, fraction))) {
            inWay[inWayCount++] = &piece;
        }
    }
    const float past = glm::dot(to - from, way) + kReach;
    std::array<float, kMaxTicks> need{};
    bool anything = false;
    for (std::size_t tick = 0; tick < kMaxTicks && progress[tick] < past; ++tick) {
        const CollisionBody hull = clearance::hullAt(from + progress[tick] * way, heading);
        for (std::size_t i = 0; i < inWayCount; ++i) {
            if (clearance::touches(hull, *inWay[i])) {
                need[tick] = std::max(need[tick], inWay[i]->top - standing + kHeadroom);
                anything = true;
            }
        }
    }
    if (!anything) {
        return 0;
    }
    // A press in a tick clears when nothing is in the way before it and every piece is cleared
    // while in the air.
    const auto clears = [&](std::size_t press) {
        for (std::size_t tick = 0; tick < kMaxTicks; ++tick) {
            const float lifted = tick < press ? 0.0f : lift[tick - press];
            if (need[tick] > 0.0f && lifted < need[tick]) {
                return false;
            }
        }
        return true;
    };
    // The middle of the longest span of ticks a press clears in; the first two are the run-up's.
    int bestFirst = 0;
    int bestCount = 0;
    int count = 0;
    for (int press = 2; press < kMaxTicks / 2; ++press) {
        count = clears(static_cast<std::size_t>(press)) ? count + 1 : 0;
        if (count > bestCount) {
            bestCount = count;
            bestFirst = press - count + 1;
        }
    }
    return bestCount < kMinJumpTicks ? 0 : bestFirst + bestCount / 2;
}

bool NavTrial::jumps(glm::vec3 from, glm::vec3 to, float& jumpAt) const {
    const int press = pressTick(from, to);
    if (press == 0) {
        return false;
    }
    // Pressed in the first tick that starts at least this far along.
    jumpAt = 0.5f * (progress[static_cast<std::size_t>(press - 2)] +
                     progress[static_cast<std::size_t>(press - 1)]);
    // The jump itself, on the real rules.
    const glm::vec3 way = wayOf(from, to);
    const float landing = arena.floorAt(to.x, to.z);
    Run run(arena, from - runUp * way, headingOf(way));
    bool jumped = false;
    for (int tick = 0; tick < kMaxTicks; ++tick) {
        const bool now = !jumped && glm::dot(run.tank.position - from, way) >= jumpAt;
        jumped = jumped || now;
        if (!run.step(now)) {
            return false;
        }
        if (run.tank.landed) {
            const glm::vec3 at = run.tank.position;
            return standsOn(run.tank, landing) && arena.floorAt(at.x, at.z) == landing &&
                   glm::dot(at - from, way) < glm::dot(to - from, way) + kReach;
        }
    }
    return false;
}
