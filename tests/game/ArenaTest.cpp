// The arena's 21 pieces, their bodies and their drawing.
#include "GameFixtures.h"

#include "game/Angles.h"
#include "game/Arena.h"

#include <gtest/gtest.h>

namespace {

struct PieceRow {
    glm::vec3 position;
    float heading;
    glm::vec3 scale;
    bool visible;
    bool ground;
};

// The arena layout, in wallList order.
const PieceRow kLayout[] = {
    {{0, 0.01f, 0}, 0, {10, 0.05f, 10}, true, true},
    {{0.3f, -0.1f, 10}, 0, {10, 5, 0.3f}, true, false},
    {{0.3f, -0.1f, 10}, 0, {10, 15, 0.3f}, false, false},
    {{-0.3f, -0.1f, -10}, 180, {10, 5, 0.3f}, true, false},
    {{-0.3f, -0.1f, -10}, 180, {10, 15, 0.3f}, false, false},
    {{-10, -0.1f, 0.3f}, 270, {10, 5, 0.3f}, true, false},
    {{-10, -0.1f, 0.3f}, 270, {10, 15, 0.3f}, false, false},
    {{10, 0, 0}, 90, {10, 2.2f, 0.3f}, true, false},
    {{0, 0, 0}, 0, {4, 3, 0.7f}, true, false},
    {{20, 1.1f, -10}, 0, {10, 0.05f, 20}, true, true},
    {{20, 1.1f, -10}, 0, {4, 3, 0.7f}, true, false},
    {{20, 1.1f, -14}, 90, {4, 5.5f, 0.7f}, true, false},
    {{25, 1.1f, -3}, 0, {1, 7, 0.7f}, true, false},
    {{15, 1.1f, 0}, 0, {1, 7, 0.7f}, true, false},
    {{20.3f, 1, 10}, 0, {10, 5, 0.3f}, true, false},
    {{20.3f, 1, 10}, 0, {10, 15, 0.3f}, false, false},
    {{30, 1, -0.3f}, 90, {10, 5, 0.3f}, true, false},
    {{30, 1, -0.3f}, 90, {10, 15, 0.3f}, false, false},
    {{10, 1, -19.7f}, 90, {10, 5, 0.3f}, true, false},
    {{19.7f, 1, -30}, 0, {10, 5, 0.3f}, true, false},
    {{30, 1, -20.3f}, 90, {10, 5, 0.3f}, true, false},
};

glm::mat4 layoutMatrix(const PieceRow& row) {
    return glm::scale(rotateDegrees(glm::translate(glm::mat4(1.0f), row.position), row.heading,
                                    glm::vec3(0, 1, 0)),
                      row.scale);
}

class ArenaTest : public ::testing::Test {
protected:
    Arena arena{kTestBox};
    std::vector<ArenaPiece>& pieces = arena.pieces;
};

TEST_F(ArenaTest, BuildMakesTheLayoutInOrder) {
    arena.build();

    ASSERT_EQ(pieces.size(), 21u);
    int invisible = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        SCOPED_TRACE("piece " + std::to_string(i + 1));
        const ArenaPiece& piece = pieces[i];
        const PieceRow& row = kLayout[i];
        EXPECT_EQ(piece.position, row.position);
        EXPECT_EQ(piece.visible, row.visible);
        EXPECT_EQ(piece.kind, row.ground ? PieceKind::Ground : PieceKind::Wall);
        EXPECT_FLOAT_EQ(piece.bottom, row.position.y);
        EXPECT_FLOAT_EQ(piece.top, row.position.y + row.scale.y);
        const glm::mat4 expected = layoutMatrix(row);
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < 4; ++r) {
                EXPECT_NEAR(piece.modelMatrix[c][r], expected[c][r], 1e-5f);
            }
        }
        invisible += piece.visible ? 0 : 1;
    }
    EXPECT_EQ(invisible, 5); // the twins of the five ring walls

    // The low wall: the model point (1, 1, 0) is scaled, turned by 90 degrees and moved.
    const glm::vec4 corner = pieces[7].modelMatrix * glm::vec4(1, 1, 0, 1);
    expectVec3(glm::vec3(corner), glm::vec3(10, 2.2f, -10), 1e-5f);
}

TEST_F(ArenaTest, WallRingSideOneIsAVisibleWallAndATallInvisibleTwin) {
    arena.addWallRing({1}, 1, glm::vec3(0.0f), 10, 5, 0.3f);

    ASSERT_EQ(pieces.size(), 2u);
    const ArenaPiece& wall = pieces[0];
    const ArenaPiece& twin = pieces[1];
    EXPECT_EQ(wall.position, glm::vec3(10, 0, -0.3f));
    EXPECT_EQ(twin.position, glm::vec3(10, 0, -0.3f));
    EXPECT_TRUE(wall.visible);
    EXPECT_FALSE(twin.visible);
    EXPECT_FLOAT_EQ(wall.top, 5.0f);
    EXPECT_FLOAT_EQ(twin.top, 15.0f);
    EXPECT_EQ(wall.kind, PieceKind::Wall);
    const PieceRow row{{10, 0, -0.3f}, 90, {10, 5, 0.3f}, true, false};
    const glm::vec4 end = wall.modelMatrix * glm::vec4(1, 0, 0, 1);
    expectVec3(glm::vec3(end), glm::vec3(layoutMatrix(row) * glm::vec4(1, 0, 0, 1)), 1e-5f);

    // The footprint lies across X: 0.6 wide in X, 20 long in Z, around the wall's place.
    EXPECT_NEAR(spanOf(wall, 0), 0.6f, 1e-4f);
    EXPECT_NEAR(spanOf(wall, 1), 20.0f, 1e-4f);
    EXPECT_NEAR(wall.shape.m_centroid.x, 10.0f, 1e-5f);
    EXPECT_NEAR(wall.shape.m_centroid.y, -0.3f, 1e-5f);
    EXPECT_EQ(wall.transform.p.x, 0.0f);
    EXPECT_EQ(wall.transform.q.c, 1.0f);
}

TEST_F(ArenaTest, WallRingTakesOnlyTheFirstCountSides) {
    arena.addWallRing({0, 1, 2, 3}, 2, glm::vec3(0, 1, 0), 10, 5, 0.3f);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].position, glm::vec3(0.3f, 1, 10));
    EXPECT_EQ(pieces[2].position, glm::vec3(10, 1, -0.3f));
    // A count beyond the list stops at its end.
    arena.addWallRing({2}, 3, glm::vec3(0.0f), 10, 5, 0.3f);
    ASSERT_EQ(pieces.size(), 6u);
    EXPECT_EQ(pieces[4].position, glm::vec3(-0.3f, 0, -10));
}

TEST_F(ArenaTest, PiecesOfAMissingModelAreZeroSizedAtTheirPlace) {
    Arena empty{Bounds{}};
    empty.addWallRing({1}, 1, glm::vec3(0, 2, 0), 10, 5, 0.3f);
    const ArenaPiece& wall = empty.pieces[0];
    EXPECT_EQ(spanOf(wall, 0), 0.0f);
    EXPECT_FLOAT_EQ(wall.shape.m_vertices[0].x, 10.0f);
    EXPECT_FLOAT_EQ(wall.bottom, 2.0f);
    EXPECT_FLOAT_EQ(wall.top, 2.0f);
}

} // namespace
