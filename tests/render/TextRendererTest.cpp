#include "render/TextRenderer.h"
#include "app/WindowSize.h"
#include "support/GlContext.h"
#include "support/GlPixels.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

void expectCorners(const std::vector<glm::vec2>& values, size_t first,
                   const std::vector<glm::vec2>& expected) {
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_FLOAT_EQ(values[first + i].x, expected[i].x) << "corner " << first + i;
        EXPECT_FLOAT_EQ(values[first + i].y, expected[i].y) << "corner " << first + i;
    }
}

TEST(TextLayout, TwoLettersSitSideBySideInTheirAtlasCells) {
    const TextLayout layout = layoutText("AB", 10, 10, 50);
    ASSERT_EQ(layout.positions.size(), 12u);
    ASSERT_EQ(layout.uvs.size(), 12u);
    // Two counter-clockwise triangles: top-left, bottom-left, top-right; bottom-right,
    // top-right, bottom-left.
    expectCorners(layout.positions, 0,
                  {{10, 60}, {10, 10}, {50, 60}, {50, 10}, {50, 60}, {10, 10}});
    expectCorners(layout.positions, 6,
                  {{50, 60}, {50, 10}, {90, 60}, {90, 10}, {90, 60}, {50, 10}});
    // 'A' = 65: column 1, row 4 from the top.
    expectCorners(layout.uvs, 0,
                  {{0.0625f, 0.75f},
                   {0.0625f, 0.6875f},
                   {0.125f, 0.75f},
                   {0.125f, 0.6875f},
                   {0.125f, 0.75f},
                   {0.0625f, 0.6875f}});
    // 'B' = 66: the next column of the same row.
    EXPECT_FLOAT_EQ(layout.uvs[6].x, 0.125f);
    EXPECT_FLOAT_EQ(layout.uvs[8].x, 0.1875f);
    EXPECT_FLOAT_EQ(layout.uvs[6].y, 0.75f);
}

TEST(TextLayout, AdvanceIsFourFifthsOfTheSizeWithoutRounding) {
    const TextLayout layout = layoutText("xyz", 0, 100, 33);
    ASSERT_EQ(layout.positions.size(), 18u);
    EXPECT_FLOAT_EQ(layout.positions[12].x, 2 * 0.8f * 33); // third glyph's left edge
    EXPECT_FLOAT_EQ(layout.positions[14].x, 3 * 0.8f * 33);
    EXPECT_FLOAT_EQ(layout.positions[12].y, 133.0f);
    EXPECT_FLOAT_EQ(layout.positions[13].y, 100.0f);
}

TEST(TextLayout, EmptyTextHasNoCorners) {
    const TextLayout layout = layoutText("", 10, 10, 50);
    EXPECT_TRUE(layout.positions.empty());
    EXPECT_TRUE(layout.uvs.empty());
}

TEST(TextLayout, CodesAbove127CountAsNegativeWithTruncatingDivision) {
    // 0xEF is -17 as a signed byte: -17 % 16 = -1 and -17 / 16 = -1.
    const TextLayout layout = layoutText("\xEF", 0, 0, 10);
    ASSERT_EQ(layout.uvs.size(), 6u);
    EXPECT_FLOAT_EQ(layout.uvs[0].x, -0.0625f);
    EXPECT_FLOAT_EQ(layout.uvs[0].y, 1.0625f);
    EXPECT_FLOAT_EQ(layout.uvs[1].y, 1.0f);
    EXPECT_FLOAT_EQ(layout.uvs[2].x, 0.0f);
}

// The real renderer: font atlas and text program from the asset tree.
class TextRendererTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        CaptureStdout(); // compile logs
        initText();
        compileLog = GetCapturedStdout();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, kWindowWidth, kWindowHeight);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        cleanupText();
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    static GLint bufferSize(GLuint buffer) {
        GLint size = -1;
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return size;
    }

    std::string compileLog;
};

TEST_F(TextRendererTest, InitBuildsTheProgramAndFindsTheSampler) {
    GLint linked = GL_FALSE;
    glGetProgramiv(textRenderer.textProgram, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE) << compileLog;
    EXPECT_NE(textRenderer.samplerLocation, -1);
    EXPECT_TRUE(glIsTexture(textRenderer.fontTexture));
    EXPECT_NE(textRenderer.vertexBuffer, textRenderer.uvBuffer);
}

TEST_F(TextRendererTest, EachDrawReplacesBothBuffersWholly) {
    drawText("AB", 10, 10, 50);
    EXPECT_EQ(bufferSize(textRenderer.vertexBuffer), 2 * 6 * 8);
    EXPECT_EQ(bufferSize(textRenderer.uvBuffer), 2 * 6 * 8);
    drawText("", 10, 10, 50);
    EXPECT_EQ(bufferSize(textRenderer.vertexBuffer), 0);
    EXPECT_EQ(bufferSize(textRenderer.uvBuffer), 0);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextRendererTest, CharactersAbove127DrawWithoutError) {
    drawText("\xEF\x80\xFF", 10, 10, 50);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextRendererTest, CleanupReleasesEverythingAndMayRunTwice) {
    const TextRenderer released = textRenderer;
    cleanupText();
    EXPECT_FALSE(glIsBuffer(released.vertexBuffer));
    EXPECT_FALSE(glIsBuffer(released.uvBuffer));
    EXPECT_FALSE(glIsTexture(released.fontTexture));
    EXPECT_FALSE(glIsProgram(released.textProgram));
    // TearDown cleans up a second time: that must not touch names GL may have reused.
}

// An atlas whose cell for code k is one flat colour (k, 255 - k, 77), laid out 16 texels per
// cell with code 0 in the image's top-left cell (the last rows of the upload, t near 1).
GLuint makeCodeAtlas() {
    constexpr int kCell = 16;
    constexpr int kSide = 16 * kCell;
    std::vector<std::uint8_t> rgba(static_cast<size_t>(kSide) * kSide * 4);
    for (int t = 0; t < kSide; ++t) {
        const int rowFromTop = (kSide - 1 - t) / kCell;
        for (int s = 0; s < kSide; ++s) {
            const int code = rowFromTop * 16 + s / kCell;
            std::uint8_t* texel = &rgba[(static_cast<size_t>(t) * kSide + s) * 4];
            texel[0] = static_cast<std::uint8_t>(code);
            texel[1] = static_cast<std::uint8_t>(255 - code);
            texel[2] = 77;
            texel[3] = 255;
        }
    }
    return makeTexture(kSide, kSide, rgba);
}

TEST_F(TextRendererTest, EachCharacterShowsItsOwnAtlasCellInItsQuad) {
    const GLuint font = textRenderer.fontTexture;
    textRenderer.fontTexture = makeCodeAtlas();
    drawText("A~", 100, 200, 100); // quads x 100-180 and 180-260, y 200-300
    glDeleteTextures(1, &textRenderer.fontTexture);
    textRenderer.fontTexture = font;
    const Rgba a = readPixel(140, 250);
    const Rgba tilde = readPixel(220, 250);
    EXPECT_EQ(a[0], 'A');
    EXPECT_EQ(a[1], 255 - 'A');
    EXPECT_EQ(tilde[0], '~');
    EXPECT_EQ(tilde[1], 255 - '~');
    EXPECT_EQ(readPixel(300, 250)[2], 0) << "nothing right of the last quad";
    EXPECT_EQ(readPixel(140, 310)[2], 0) << "nothing above the quads";
}

// With the real font: "HI" lights pixels inside its two quads and none outside them.
TEST_F(TextRendererTest, GlyphPixelsStayInsideTheirQuads) {
    constexpr int kX = 300;
    constexpr int kY = 400;
    constexpr int kSize = 64;
    drawText("HI", kX, kY, kSize);
    const std::vector<Rgba> frame = readFrame();

    constexpr int kFiltering = 2; // pixels of slack for linear filtering at the quad edges
    const float right = kX + 2 * 0.8f * kSize;
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const Rgba& p = frame[static_cast<size_t>(y) * kWindowWidth + x];
            if (std::max({p[0], p[1], p[2]}) < 32) {
                continue;
            }
            const bool inQuads = x >= kX - kFiltering && x <= right + kFiltering &&
                                 y >= kY - kFiltering && y <= kY + kSize + kFiltering;
            ++(inQuads ? inside : outside);
        }
    }
    EXPECT_GT(inside, 200) << "the glyphs are drawn (is font.tga generated?)";
    EXPECT_EQ(outside, 0);
}

} // namespace
