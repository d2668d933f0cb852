// The footprint and height every tank, bullet and arena piece collides with.
#include "GameFixtures.h"

#include "game/CollisionBody.h"

#include <gtest/gtest.h>

namespace {

using CollisionBodyTest = ::testing::Test;

TEST_F(CollisionBodyTest, FootprintIsTheBoundsBoxAtTheCentre) {
    CollisionBody body;
    body.initBody(Bounds{{-1, 0, -2}, {1, 1, 2}}, 0.0f, glm::vec3(3, 0.5f, 4), glm::vec3(1.0f));

    ASSERT_EQ(body.shape.m_count, 4);
    const b2Vec2 corners[4] = {{2, 2}, {4, 2}, {4, 6}, {2, 6}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(body.shape.m_vertices[i].x, corners[i].x, 1e-5f) << "corner " << i;
        EXPECT_NEAR(body.shape.m_vertices[i].y, corners[i].y, 1e-5f) << "corner " << i;
    }
    EXPECT_FLOAT_EQ(body.shape.m_radius, 0.01f);
    EXPECT_FLOAT_EQ(body.bottom, 0.5f);
    EXPECT_FLOAT_EQ(body.top, 1.5f);
    EXPECT_FLOAT_EQ(body.height, 1.0f);
    EXPECT_EQ(body.transform.p.x, 0.0f);
    EXPECT_EQ(body.transform.p.y, 0.0f);
    EXPECT_EQ(body.transform.q.s, 0.0f);
    EXPECT_EQ(body.transform.q.c, 1.0f);
}

TEST_F(CollisionBodyTest, ScaleStretchesEachAxis) {
    CollisionBody body;
    body.initBody(Bounds{{-1, 0, -2}, {1, 1, 2}}, 0.0f, glm::vec3(0.0f), glm::vec3(10, 5, 0.3f));

    const Span span = footprintSpan(body);
    EXPECT_NEAR(span.maxX, 10.0f, 1e-5f); // hx 10
    EXPECT_NEAR(span.minX, -10.0f, 1e-5f);
    EXPECT_NEAR(span.maxZ, 0.6f, 1e-5f); // hz 0.6
    EXPECT_NEAR(span.minZ, -0.6f, 1e-5f);
    EXPECT_FLOAT_EQ(body.height, 5.0f);
}

TEST_F(CollisionBodyTest, HeadingNinetySwapsTheSpans) {
    CollisionBody body;
    body.initBody(Bounds{{-1, 0, -1}, {1, 1, 1}}, 90.0f, glm::vec3(0.0f), glm::vec3(10, 5, 0.3f));

    const Span span = footprintSpan(body);
    EXPECT_NEAR(span.maxX - span.minX, 0.6f, 1e-4f);
    EXPECT_NEAR(span.maxZ - span.minZ, 20.0f, 1e-4f);
}

// A model that failed to load has the zero box: its body is a point at its place.
TEST_F(CollisionBodyTest, TheZeroBoxGivesAPointAtTheCentre) {
    CollisionBody body;
    body.initBody(Bounds{}, 30.0f, glm::vec3(3, 0.5f, 4), glm::vec3(10.0f));

    const Span span = footprintSpan(body);
    EXPECT_FLOAT_EQ(span.minX, 3.0f);
    EXPECT_FLOAT_EQ(span.maxX, 3.0f);
    EXPECT_FLOAT_EQ(span.minZ, 4.0f);
    EXPECT_FLOAT_EQ(span.maxZ, 4.0f);
    EXPECT_FLOAT_EQ(body.height, 0.0f);
    EXPECT_FLOAT_EQ(body.bottom, 0.5f);
    EXPECT_FLOAT_EQ(body.top, 0.5f);
}

} // namespace
