#include "client/ChaseCamera.h"

#include "game/Angles.h"
#include "game/Blend.h"
#include "game/BodySizes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kTargetLift = 1.0f;      // units above the tank the camera looks at
constexpr float kCloseTargetLift = 0.5f; // lower when zoomed in fully, so the tank stays in view
constexpr float kOrbitDegreesPerPixel = 0.5f;
constexpr float kMinPitch = 0.0f; // degrees, exclusive, of the pitch the player sets
// Rising to see past a piece: tried in these steps, up to the steepest pitch; settling back
// down at this rate as the way clears.
constexpr float kRiseStepDegrees = 5.0f;
constexpr float kSettleDegreesPerTick = 1.5f; // 90 degrees a second
// The eye moves through the room in steps this long, so that it never passes through a solid:
// each step ends less deep in one than the thinnest solid is thick.
constexpr float kEyeSubstep = 0.1f; // units
// Rounds of bringing a point within the limits and out of the solids, each undoing a little of
// what the other did, until both hold.
constexpr int kSettleRounds = 8;
constexpr float kLimitSlack = 1.0e-3f; // units and degrees a settled point may be off its limits

// Before the first match the camera has no placement; the title screen then looks over the
// arena from above its south-east corner.
const glm::vec3 kOverviewEye(28.0f, 22.0f, 26.0f);
const glm::vec3 kOverviewTarget(10.0f, 0.0f, -6.0f);

// How high above the tank the camera looks with the eye this far from it: the usual lift from
// the see-through distance on, lowered towards the closest zoom.
float targetLift(float distance) {
    const float closeness =
        std::clamp((ChaseCamera::kSeeThroughDistance - distance) /
                       (ChaseCamera::kSeeThroughDistance - ChaseCamera::kMinZoom),
                   0.0f, 1.0f);
    return kTargetLift + (kCloseTargetLift - kTargetLift) * closeness;
}

// The unit vector from the tank towards an eye behind a camera looking along heading, pitch
// degrees above the tank's level.
glm::vec3 behind(float heading, float pitchDegrees) {
    const float pitchRadians = pitchDegrees * kDegreesToRadians;
    return -headingDirection(heading) * std::cos(pitchRadians) +
           glm::vec3(0.0f, std::sin(pitchRadians), 0.0f);
}
} // namespace

float ChaseCamera::wrapped(float degrees) {
    return headingDifference(0.0f, degrees);
}

void ChaseCamera::beginStep() {
    previousEye = eye;
    previousTarget = target;
}

void ChaseCamera::lookAlong(const Tank& tank) {
    lookHeading = wrapped(tank.turretHeading);
}

float ChaseCamera::heading(const Tank& tank) const {
    return freeLook ? lookHeading : headingOf(tank.turretForward()) - yaw;
}

bool ChaseCamera::eyeAtElevation(float way, float elevation, float length, glm::vec3& at) const {
    const glm::vec3 along = behind(way, elevation);
    float leave = 0.0f;
    const float reach = space.reach(target, along, length, leave);
    // A hair short of what it meets, so as to stand clear of it.
    at = target + along * std::max(reach < length ? reach - kLimitSlack : reach, kMinDistance);
    return reach >= std::min(kMinZoom, length) && reach >= leave;
}

glm::vec3 ChaseCamera::wanted(const Tank& tank, float way) {
    // Where the zoom and the pitch put the eye, seen from the point looked at.
    const glm::vec3 offset = tank.position + behind(way, pitch) * distance - target;
    const float length = glm::length(offset);
    const float elevation =
        std::atan2(offset.y, glm::length(glm::vec2(offset.x, offset.z))) * kRadiansToDegrees;
    const float highest = std::max(kMaxPitch - elevation, 0.0f);
    // Settle back down from an earlier rise where the way is clear; else rise as little as
    // clears it, up to the steepest pitch.
    float wantedRise = std::clamp(rise - kSettleDegreesPerTick, 0.0f, highest);
    glm::vec3 at;
    if (!eyeAtElevation(way, elevation + wantedRise, length, at)) {
        wantedRise = 0.0f;
        while (!eyeAtElevation(way, elevation + wantedRise, length, at) && wantedRise < highest) {
            wantedRise = std::min(wantedRise + kRiseStepDegrees, highest);
        }
    }
    rise = wantedRise;
    return at;
}

glm::vec3 ChaseCamera::limited(glm::vec3 point, float way) const {
    glm::vec3 offset = point - target;
    // Too steep, the eye comes down, straight down if that is clear (a wall's faces stand
    // upright), else out level (over the top of a piece).
    const float across = glm::length(glm::vec2(offset.x, offset.z));
    const float steepest = std::tan(kMaxPitch * kDegreesToRadians);
    if (offset.y > across * steepest) {
        glm::vec3 down = offset;
        down.y = across * steepest;
        if (space.clear(target + down) || across < 1.0e-6f) {
            offset = down;
        } else {
            offset *= glm::vec3(offset.y / steepest / across, 1.0f, offset.y / steepest / across);
        }
    }
    // Too near, it moves out along the line from the point looked at.
    const float length = glm::length(offset);
    if (length < 1.0e-6f) {
        return target + behind(way, 0.0f) * kMinDistance;
    }
    return target + offset * (std::max(length, kMinDistance) / length);
}

bool ChaseCamera::withinLimits(glm::vec3 point) const {
    const glm::vec3 offset = point - target;
    const float length = glm::length(offset);
    const float across = glm::length(glm::vec2(offset.x, offset.z));
    return length >= kMinDistance - kLimitSlack &&
           std::atan2(offset.y, across) * kRadiansToDegrees <= kMaxPitch + kLimitSlack;
}

bool ChaseCamera::standsWell(glm::vec3 point, bool inSight) const {
    return space.clear(point) && withinLimits(point) && (!inSight || space.inSight(target, point));
}

bool ChaseCamera::settled(glm::vec3& point, float way, bool inSight) const {
    // Pushed out where it stands; else, squeezed between two solids, raised over them first.
    for (const glm::vec3& start : {point, space.liftedOut(point)}) {
        glm::vec3 moved = start;
        for (int round = 0; round <= kSettleRounds; ++round) {
            if (standsWell(moved, inSight)) {
                point = moved;
                return true;
            }
            moved = space.pushedOut(limited(moved, way));
        }
    }
    return false;
}

glm::vec3 ChaseCamera::around(glm::vec3 from, glm::vec3 to, float share, float& length) const {
    const glm::vec3 a = from - target;
    const glm::vec3 b = to - target;
    const float ra = glm::length(a);
    const float rb = glm::length(b);
    if (ra < 1.0e-6f || rb < 1.0e-6f) {
        length = glm::length(to - from);
        return glm::mix(from, to, share);
    }
    const glm::vec3 ua = a / ra;
    const glm::vec3 ub = b / rb;
    const float angle = std::acos(std::clamp(glm::dot(ua, ub), -1.0f, 1.0f));
    length = glm::length(glm::vec2(0.5f * (ra + rb) * angle, rb - ra));
    glm::vec3 way;
    if (std::sin(angle) > 1.0e-3f) {
        way = (ua * std::sin((1.0f - share) * angle) + ub * std::sin(share * angle)) /
              std::sin(angle);
    } else if (glm::dot(ua, ub) > 0.0f) {
        way = glm::normalize(glm::mix(ua, ub, share));
    } else {
        // Straight across: round the side, about the vertical.
        way = glm::vec3(glm::rotate(glm::mat4(1.0f), share * kPi, up) * glm::vec4(ua, 0.0f));
    }
    return target + way * glm::mix(ra, rb, share);
}

bool ChaseCamera::follow(glm::vec3 goal, float way) {
    glm::vec3 point = eye;
    if (!settled(point, way, false)) {
        return false;
    }
    // Once in sight of the point looked at past the arena's edge, it stays so. Out of sight (the
    // tank drove on past a corner of the arena) it comes round the corner first; with a wall at
    // the edge between it and where it wants to be, it goes round that.
    const bool inSight = space.inSight(target, point);
    if (!inSight) {
        goal = space.wayRound(point, target);
    } else if (!space.inSight(point, goal)) {
        goal = space.wayRound(point, goal);
    }
    // Round the point looked at (round a corner, straight), at most a tick's move; at once
    // when nothing is in the way.
    const auto toward = [&](glm::vec3 from, float stride, bool round) {
        float length = glm::length(goal - from);
        if (round) {
            around(from, goal, 0.0f, length);
        }
        const float share = length > stride ? stride / length : 1.0f;
        return round ? around(from, goal, share, length) : glm::mix(from, goal, share);
    };
    const float budget = kMaxEyeStep - glm::length(point - eye);
    if (budget < 0.0f) {
        return false;
    }
    const glm::vec3 end = toward(point, budget, inSight);
    if (space.clearPath(point, end) && standsWell(end, inSight) &&
        glm::length(end - eye) <= kMaxEyeStep) {
        eye = end;
        return true;
    }
    // Else in short steps, each brought clear, up to the first that cannot be or that would
    // take the eye past a tick's move. Where a solid holds a step round back, it goes straight,
    // or climbs, to go over a piece.
    const int steps = static_cast<int>(std::ceil(kMaxEyeStep / kEyeSubstep));
    for (int step = 0; step < steps; ++step) {
        const float left = glm::length(goal - point);
        if (left < kLimitSlack) {
            break;
        }
        const auto gains = [&](glm::vec3& next) {
            return settled(next, way, inSight) && glm::length(goal - next) < left - kLimitSlack;
        };
        glm::vec3 next = toward(point, kEyeSubstep, inSight);
        if (!gains(next)) {
            const glm::vec3 straight = toward(point, kEyeSubstep, false);
            next = straight;
            if (!gains(next)) {
                // Over a piece, never up a wall at the arena's edge, which has no top.
                next = point + up * kEyeSubstep;
                if (!space.inSight(point, straight) || !settled(next, way, inSight) ||
                    next.y < point.y + 0.5f * kEyeSubstep) {
                    break;
                }
            }
        }
        if (glm::length(next - eye) > kMaxEyeStep) {
            break;
        }
        point = next;
    }
    eye = point;
    return true;
}

void ChaseCamera::place(const Match& match, int seat) {
    const Tank& tank = match.tank(seat);
    space.fill(match);
    const glm::vec3 lastTarget = target;
    // Brought close by a wall, the camera looks lower, as the closest zoom does, so that the
    // tank stays in view.
    const float lift =
        targetLift(placed ? std::min(distance, glm::length(eye - tank.position)) : distance);
    base = tank.position;
    target = base + glm::vec3(0.0f, lift, 0.0f);
    const float way = heading(tank);
    const glm::vec3 goal = wanted(tank, way);
    const bool cut = !placed || glm::length(target - lastTarget) > kCutDistance;
    if (cut || !follow(goal, way)) {
        eye = goal;
    }
    if (!placed) {
        placed = true;
        previousEye = eye;
        previousTarget = target;
    }
}

void ChaseCamera::zoom(int wheel) {
    const int delta = wheel - lastWheelPosition;
    lastWheelPosition = wheel;
    const float next = distance - static_cast<float>(delta);
    if (next >= kMinZoom && next <= kMaxZoom) {
        distance = next;
    }
}

void ChaseCamera::orbit(bool dragging, glm::ivec2 cursor) {
    if (!dragging) {
        orbitDragging = false;
        return;
    }
    if (!orbitDragging) {
        dragPosition = cursor;
        orbitDragging = true;
        return;
    }
    const glm::ivec2 moved = cursor - dragPosition;
    dragPosition = cursor;
    const float degreesPerPixel = kOrbitDegreesPerPixel * sensitivity;
    yaw += degreesPerPixel * static_cast<float>(moved.x);
    tilt((invertPitch ? -1.0f : 1.0f) * degreesPerPixel * static_cast<float>(moved.y));
}

void ChaseCamera::tilt(float degrees) {
    const float nextPitch = pitch + degrees;
    if (nextPitch > kMinPitch && nextPitch < kMaxPitch) {
        pitch = nextPitch;
    }
}

glm::vec3 ChaseCamera::eyeAt(float blend) const {
    return placed ? between(previousEye, eye, blend) : kOverviewEye;
}

glm::vec3 ChaseCamera::targetAt(float blend) const {
    return placed ? between(previousTarget, target, blend) : kOverviewTarget;
}

glm::mat4 ChaseCamera::view(float blend) const {
    return glm::lookAt(eyeAt(blend), targetAt(blend), up);
}

glm::mat4 ChaseCamera::projection(float aspect) {
    if (aspect >= kAspect) {
        return perspectiveDegrees(kFovDegrees, aspect, kNear, kFar);
    }
    // Narrower than 4:3, the vertical field widens so that the horizontal one stays.
    const float halfHeight =
        std::tan(kFovDegrees * 0.5f * kDegreesToRadians) * kAspect / std::max(aspect, 1.0e-3f);
    const float fov = 2.0f * std::atan(halfHeight) * kRadiansToDegrees;
    return perspectiveDegrees(fov, aspect, kNear, kFar);
}

float ChaseCamera::playerOpacity() const {
    const float nearest = placed ? std::min(distance, glm::length(eye - base)) : distance;
    return std::min(nearest / kSeeThroughDistance, 1.0f);
}

bool ChaseCamera::hidesTank(const ArenaPiece& piece, glm::vec3 eye, const TankPose& pose) {
    if (!piece.visible || piece.kind == PieceKind::Ground) {
        return false;
    }
    const UprightBox box = UprightBox::of(piece);
    const glm::vec3 centre = pose.position + glm::vec3(0.0f, kHullBounds.size().y * 0.5f, 0.0f);
    const glm::vec3 top = pose.position + glm::vec3(0.0f, CameraSpace::kTankHeight, 0.0f);
    return box.crossedBy(eye, centre) || box.crossedBy(eye, top);
}
