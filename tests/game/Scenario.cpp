#include "Scenario.h"

namespace {
constexpr float kLandingClearance = 0.01f; // units a tank standing on a floor keeps above it
} // namespace

void placeTank(Tank& tank, glm::vec3 spot) {
    tank.position = spot;
    tank.floorLevel = tank.groundLevel = spot.y - kLandingClearance;
    tank.updateTransform();
}
