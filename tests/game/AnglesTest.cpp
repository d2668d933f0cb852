// The angle conventions every drawable and camera relies on: degrees in, headings out.
#include "game/Angles.h"
#include "support/VecExpect.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

namespace {

TEST(MathConventions, RotateTakesDegreesAndTurnsCounterClockwiseFromAbove) {
    const glm::mat4 r = rotateDegrees(glm::mat4(1.0f), 90.0f, glm::vec3(0, 1, 0));
    expectVec3(glm::vec3(r * glm::vec4(1, 0, 0, 0)), glm::vec3(0, 0, -1));
    expectVec3(glm::vec3(r * glm::vec4(0, 0, -1, 0)), glm::vec3(-1, 0, 0));
}

TEST(MathConventions, PerspectiveTakesDegrees) {
    const glm::mat4 p = perspectiveDegrees(45.0f, 4.0f / 3.0f, 0.1f, 100.0f);
    EXPECT_EQ(p[2][3], -1.0f);
    EXPECT_EQ(p[3][3], 0.0f);
    const float range = std::tan(glm::radians(22.5f)) * 0.1f;
    EXPECT_NEAR(p[1][1], 0.1f / range, 1e-4f);
    EXPECT_NEAR(p[0][0], 0.1f / (range * 4.0f / 3.0f), 1e-4f);
    EXPECT_NEAR(p[2][2], -(100.0f + 0.1f) / (100.0f - 0.1f), 1e-6f);
    EXPECT_NEAR(p[3][2], -2.0f * 100.0f * 0.1f / (100.0f - 0.1f), 1e-6f);
}

TEST(MathConventions, HeadingDirectionConvention) {
    expectVec3(headingDirection(0.0f), glm::vec3(0, 0, -1));
    expectVec3(headingDirection(90.0f), glm::vec3(-1, 0, 0));
    expectVec3(headingDirection(180.0f), glm::vec3(0, 0, 1));
    expectVec3(headingDirection(270.0f), glm::vec3(1, 0, 0));
}

TEST(MathConventions, HeadingsReadBackAndTurnTheShortWay) {
    EXPECT_NEAR(headingOf(headingDirection(30.0f)), 30.0f, 1e-3f);
    EXPECT_NEAR(headingOf(headingDirection(200.0f)), -160.0f, 1e-3f);
    // Drawing between two steps turns the short way across the wrap of the aim.
    EXPECT_NEAR(headingDifference(350.0f, 10.0f), 20.0f, 1e-4f);
    EXPECT_NEAR(headingDifference(10.0f, 350.0f), -20.0f, 1e-4f);
    EXPECT_NEAR(headingDifference(725.0f, 0.0f), -5.0f, 1e-4f);
    EXPECT_NEAR(headingDifference(0.0f, 180.0f), 180.0f, 1e-4f);
}

} // namespace
