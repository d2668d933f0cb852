#pragma once

#include "game/Bounds.h"
#include "game/BulletSystem.h"
#include "game/Tank.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Model boxes for tests: a hull 2 × 1 × 2 standing on y = 0, a bullet 0.2 × 0.1 × 0.4, and the
// arena's box 2 × 1 × 2.
inline const Bounds kTestHull{{-1.0f, 0.0f, -1.0f}, {1.0f, 1.0f, 1.0f}};
inline const Bounds kTestBullet{{-0.1f, 0.0f, -0.2f}, {0.1f, 0.1f, 0.2f}};
inline const Bounds kTestBox{{-1.0f, 0.0f, -1.0f}, {1.0f, 1.0f, 1.0f}};

// Tanks with the test hull firing into one bullet system.
class TankWorldTest : public ::testing::Test {
protected:
    Tank& addTank(glm::vec3 position, float heading = 0) {
        tanks.push_back(std::make_unique<Tank>(bullets, kTestHull, position, heading));
        return *tanks.back();
    }

    BulletSystem bullets{kTestBullet};
    std::vector<std::unique_ptr<Tank>> tanks;
};
