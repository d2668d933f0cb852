#include "game/ChaseCamera.h"

#include "game/Angles.h"
#include "game/Blend.h"

#include <algorithm>
#include <cmath>

namespace {
const glm::vec3 kTargetLift(0.0f, 1.0f, 0.0f); // the camera looks just above the tank
constexpr float kSeeThroughDistance = 3.0f;    // units; closer, the player's tank fades
constexpr float kOrbitDegreesPerPixel = 0.5f;
constexpr float kMinPitch = 0.0f;  // degrees, exclusive
constexpr float kMaxPitch = 90.0f; // degrees, exclusive
// How far in front of a piece a pulled-in eye stays, so that the near plane does not cut it.
constexpr float kWallClearance = 0.3f; // units
constexpr float kClosestEye = 0.5f;    // units from the point looked at

// Before the first match the camera has no placement; the title screen then looks over the
// arena from above its south-east corner.
const glm::vec3 kOverviewEye(28.0f, 22.0f, 26.0f);
const glm::vec3 kOverviewTarget(10.0f, 0.0f, -6.0f);
} // namespace

void ChaseCamera::beginStep() {
    previousEye = eye;
    previousTarget = target;
}

void ChaseCamera::place(glm::vec3 p, glm::vec3 t, const Arena& arena) {
    target = p + kTargetLift;
    // The turret heading brought into −180..180.
    const float yawRadians = (headingOf(t) - yaw) * kDegreesToRadians;
    const float pitchRadians = pitch * kDegreesToRadians;
    const float horizontal = distance * std::cos(pitchRadians);
    eye = p + glm::vec3(horizontal * std::sin(yawRadians), distance * std::sin(pitchRadians),
                        horizontal * std::cos(yawRadians));

    // Outside the slabs there is only the back of a wall to see; in front of a piece, the
    // piece would hide the tank.
    pulledDistance = 0.0f;
    const float clear = std::min(arena.firstObstacle(target, eye), arena.groundEdge(target, eye));
    if (clear < 1.0f) {
        const float length = glm::length(eye - target);
        const float kept = std::max(clear * length - kWallClearance, kClosestEye);
        eye = target + (eye - target) * (kept / length);
        pulledDistance = kept;
    }
    if (!placed) {
        placed = true;
        previousEye = eye;
        previousTarget = target;
    }
}

void ChaseCamera::zoom(int wheel) {
    const int delta = wheel - lastWheelPosition;
    if (distance - static_cast<float>(delta) > 0.0f) {
        distance -= static_cast<float>(delta);
    }
    lastWheelPosition = wheel;
    // Whatever the size of the step: zoomed out past the distance, the tank is whole again.
    seeThrough = std::min(distance / kSeeThroughDistance, 1.0f);
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
    yaw += kOrbitDegreesPerPixel * static_cast<float>(moved.x);
    tilt(kOrbitDegreesPerPixel * static_cast<float>(moved.y));
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

glm::mat4 ChaseCamera::projection() const {
    return perspectiveDegrees(kFovDegrees, kAspect, kNear, kFar);
}

float ChaseCamera::playerOpacity() const {
    if (pulledDistance > 0.0f && pulledDistance < kSeeThroughDistance) {
        return std::min(seeThrough, pulledDistance / kSeeThroughDistance);
    }
    return seeThrough;
}
