// The third-person camera: it hangs behind and above the player's tank, opposite to where
// the turret points, orbits with a right-button drag and zooms with the wheel.
#include "scene/ChaseCamera.h"

#include "app/Window.h"
#include "game/Tank.h"
#include "render/Math.h"
#include "scene/Scene.h"

#include <GLFW/glfw3.h>

#include <cmath>

int dragMouseX = 0;
int dragMouseY = 0;
bool orbitDragging = false;
int lastWheelPosition = 0;

namespace {

const glm::vec3 kTargetLift(0.0f, 1.0f, 0.0f); // the camera looks just above the tank
constexpr float kSeeThroughDistance = 3.0f;    // units; closer, the player's tank fades
constexpr float kOrbitDegreesPerPixel = 0.5f;
constexpr float kMinPitch = 0.0f;  // degrees, exclusive
constexpr float kMaxPitch = 90.0f; // degrees, exclusive

constexpr float kFovDegrees = 45.0f;
constexpr float kAspect = 4.0f / 3.0f;
constexpr float kNear = 0.1f;  // units
constexpr float kFar = 100.0f; // units

// Before the first match the eye and target coincide and have no view direction; the title
// screen then looks over the arena from above its south-east corner.
const glm::vec3 kOverviewEye(28.0f, 22.0f, 26.0f);
const glm::vec3 kOverviewTarget(10.0f, 0.0f, -6.0f);

} // namespace

void Scene::placeCamera(glm::vec3 p, glm::vec3 t) {
    cameraTarget = p + kTargetLift;
    float turretHeading = std::acos(-t.z) * kRadiansToDegrees;
    if (t.x > 0.0f) {
        turretHeading = -turretHeading;
    }
    const float yaw = (turretHeading - cameraYaw) * kDegreesToRadians;
    const float pitch = cameraPitch * kDegreesToRadians;
    const float horizontal = cameraDistance * std::cos(pitch);
    cameraEye = p + glm::vec3(horizontal * std::sin(yaw), cameraDistance * std::sin(pitch),
                              horizontal * std::cos(yaw));
}

void Scene::zoomStep() {
    const int delta = window::mouseWheel() - lastWheelPosition;
    if (cameraDistance - static_cast<float>(delta) > 0.0f) {
        cameraDistance -= static_cast<float>(delta);
    }
    lastWheelPosition = window::mouseWheel();
    if (cameraDistance <= kSeeThroughDistance) {
        playerTank->alpha = cameraDistance / kSeeThroughDistance;
    }
}

void Scene::orbitStep() {
    if (window::mouseButton(GLFW_MOUSE_BUTTON_RIGHT) != GLFW_PRESS) {
        orbitDragging = false;
        return;
    }
    if (!orbitDragging) {
        window::mousePosition(&dragMouseX, &dragMouseY);
        orbitDragging = true;
        return;
    }
    const int previousX = dragMouseX;
    const int previousY = dragMouseY;
    window::mousePosition(&dragMouseX, &dragMouseY);
    cameraYaw += kOrbitDegreesPerPixel * static_cast<float>(dragMouseX - previousX);
    const float pitch =
        cameraPitch + kOrbitDegreesPerPixel * static_cast<float>(dragMouseY - previousY);
    if (pitch > kMinPitch && pitch < kMaxPitch) {
        cameraPitch = pitch;
    }
}

glm::mat4 Scene::viewMatrix() const {
    if (cameraEye == cameraTarget) {
        return glm::lookAt(kOverviewEye, kOverviewTarget, cameraUp);
    }
    return glm::lookAt(cameraEye, cameraTarget, cameraUp);
}

glm::mat4 Scene::projectionMatrix() const {
    return perspectiveDegrees(kFovDegrees, kAspect, kNear, kFar);
}
