#include "client/ChaseCamera.h"

#include "game/Angles.h"
#include "game/Blend.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kTargetLift = 1.0f;      // units above the tank the camera looks at
constexpr float kCloseTargetLift = 0.5f; // lower when zoomed in fully, so the tank stays in view
constexpr float kOrbitDegreesPerPixel = 0.5f;
constexpr float kMinPitch = 0.0f;  // degrees, exclusive
constexpr float kMaxPitch = 90.0f; // degrees, exclusive
// How far in front of a piece a pulled-in eye stays, so that the near plane does not cut it.
constexpr float kWallClearance = 0.3f; // units
constexpr float kClosestEye = 0.5f;    // units from the point looked at, whatever is in the way
// Rising to see past a piece: tried in these steps, up to the highest pitch; settling back down
// at this rate as the way clears.
constexpr float kRiseStepDegrees = 5.0f;
constexpr float kHighestPitch = 89.0f;
constexpr float kSettleDegreesPerTick = 1.5f; // 90 degrees a second

// Before the first match the camera has no placement; the title screen then looks over the
// arena from above its south-east corner.
const glm::vec3 kOverviewEye(28.0f, 22.0f, 26.0f);
const glm::vec3 kOverviewTarget(10.0f, 0.0f, -6.0f);

// How high above the tank the camera looks at a zoom distance: the usual lift from the
// see-through distance on, lowered towards the closest zoom.
float targetLift(float distance) {
    const float closeness =
        std::clamp((ChaseCamera::kSeeThroughDistance - distance) /
                       (ChaseCamera::kSeeThroughDistance - ChaseCamera::kMinDistance),
                   0.0f, 1.0f);
    return kTargetLift + (kCloseTargetLift - kTargetLift) * closeness;
}
} // namespace

void ChaseCamera::beginStep() {
    previousEye = eye;
    previousTarget = target;
}

bool ChaseCamera::eyeAtPitch(glm::vec3 base, float turretHeading, float pitchDegrees,
                             const Arena& arena, glm::vec3& placedEye) const {
    const float yawRadians = (turretHeading - yaw) * kDegreesToRadians;
    const float pitchRadians = std::min(pitchDegrees, kHighestPitch) * kDegreesToRadians;
    const float horizontal = distance * std::cos(pitchRadians);
    placedEye =
        base + glm::vec3(horizontal * std::sin(yawRadians), distance * std::sin(pitchRadians),
                         horizontal * std::cos(yawRadians));

    // In front of a piece, the piece would hide the tank: the eye stops where the line from
    // the point looked at comes within the clearance of the first piece on it. Over the ground
    // is where the eye prefers to stay, as long as that does not bring it too close: outside
    // the slabs there is little to see but the arena's outside.
    const float length = glm::length(placedEye - target);
    const glm::vec3 along = (placedEye - target) / length;
    const float solid = arena.firstObstacle(target, placedEye, kWallClearance) * length;
    const float edge = arena.groundEdge(target, placedEye);
    const float ground = edge < 1.0f ? edge * length - kWallClearance : length;
    const float closest = std::min(kSeeThroughDistance, length);
    const auto standAt = [&](float kept) {
        kept = std::clamp(kept, kClosestEye, length);
        placedEye = target + along * kept;
        return kept >= closest;
    };
    return standAt(std::min(solid, ground)) || standAt(solid);
}

void ChaseCamera::place(const Tank& tank, const Arena& arena) {
    const glm::vec3 base = tank.position;
    target = base + glm::vec3(0.0f, targetLift(distance), 0.0f);
    // The turret heading brought into −180..180.
    const float heading = headingOf(tank.turretForward());
    // Settle back down from an earlier rise where the way is clear; else rise as little as
    // clears it, up to looking straight down on the tank.
    float wanted = std::max(rise - kSettleDegreesPerTick, 0.0f);
    glm::vec3 at;
    if (!eyeAtPitch(base, heading, pitch + wanted, arena, at)) {
        wanted = 0.0f;
        while (pitch + wanted < kHighestPitch &&
               !eyeAtPitch(base, heading, pitch + wanted, arena, at)) {
            wanted += kRiseStepDegrees;
        }
        if (pitch + wanted >= kHighestPitch) {
            wanted = kHighestPitch - pitch;
            eyeAtPitch(base, heading, kHighestPitch, arena, at);
        }
    }
    rise = wanted;
    eye = at;
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
    if (next >= kMinDistance && next <= kMaxDistance) {
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
    return perspectiveDegrees(kFovDegrees, aspect, kNear, kFar);
}

float ChaseCamera::playerOpacity() const {
    return std::min(distance / kSeeThroughDistance, 1.0f);
}
