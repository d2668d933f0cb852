// The matrix conventions every drawable and camera relies on.
#include "game/Angles.h"
#include "support/VecExpect.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

namespace {

TEST(MathConventions, DefaultMatrixIsIdentity) {
    const glm::mat4 m;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(m[c][r], c == r ? 1.0f : 0.0f);
        }
    }
}

TEST(MathConventions, ScalarMatrixIsDiagonal) {
    const glm::mat4 zero(0.0f);
    EXPECT_EQ(zero[0][0], 0.0f);
    const glm::mat4 two(2);
    EXPECT_EQ(two[3][3], 2.0f);
    EXPECT_EQ(two[3][0], 0.0f);
}

TEST(MathConventions, RotateTakesDegreesAndTurnsCounterClockwiseFromAbove) {
    const glm::mat4 r = rotateDegrees(glm::mat4(1.0f), 90.0f, glm::vec3(0, 1, 0));
    expectVec3(glm::vec3(r * glm::vec4(1, 0, 0, 0)), glm::vec3(0, 0, -1));
    expectVec3(glm::vec3(r * glm::vec4(0, 0, -1, 0)), glm::vec3(-1, 0, 0));
}

TEST(MathConventions, RotateNormalisesItsAxisAndKeepsTranslation) {
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), glm::vec3(4, 5, 6));
    const glm::mat4 r = rotateDegrees(t, 90.0f, glm::vec3(0, 7, 0));
    EXPECT_EQ(r[3], glm::vec4(4, 5, 6, 1));
    expectVec3(glm::vec3(r * glm::vec4(1, 0, 0, 0)), glm::vec3(0, 0, -1));
}

TEST(MathConventions, TranslationSitsInColumnThree) {
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), glm::vec3(1, 2, 3));
    EXPECT_EQ(t[3], glm::vec4(1, 2, 3, 1));
    EXPECT_EQ(glm::value_ptr(t)[12], 1.0f);
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

TEST(MathConventions, PerspectiveMapsNearAndFarToMinusOneAndOne) {
    const glm::mat4 p = perspectiveDegrees(45.0f, 1.0f, 45.0f, 90.0f);
    const glm::vec4 nearPoint = p * glm::vec4(0, 0, -45, 1);
    const glm::vec4 farPoint = p * glm::vec4(0, 0, -90, 1);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-5f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-5f);
}

TEST(MathConventions, LookAtLooksDownMinusZInEyeSpace) {
    const glm::mat4 v = glm::lookAt(glm::vec3(0, 0, 5), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0));
    expectVec3(glm::vec3(v * glm::vec4(0, 0, 0, 1)), glm::vec3(0, 0, -5));
    const glm::mat4 side = glm::lookAt(glm::vec3(3, 0, 0), glm::vec3(0, 0, 0), glm::vec3(0, 1, 0));
    expectVec3(glm::vec3(side[0][0], side[1][0], side[2][0]), glm::vec3(0, 0, -1));
}

TEST(MathConventions, ModelMatrixScalesThenRotatesThenMoves) {
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), glm::vec3(10, 0, 0));
    const glm::mat4 r = rotateDegrees(glm::mat4(1.0f), 90.0f, glm::vec3(0, 1, 0));
    const glm::mat4 s = glm::scale(glm::mat4(1.0f), glm::vec3(10, 2.2f, 0.3f));
    expectVec3(glm::vec3(t * r * s * glm::vec4(1, 1, 0, 1)), glm::vec3(10, 2.2f, -10), 1e-4f);
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

TEST(MathConventions, DegreeConversionFactors) {
    EXPECT_FLOAT_EQ(kDegreesToRadians, 0.017453293f);
    EXPECT_FLOAT_EQ(kRadiansToDegrees, 57.29578f);
}

} // namespace
