#include "render/TextRenderer.h"
#include "assets/TgaImage.h"
#include "platform/WindowSize.h"
#include "render/AssetPaths.h"
#include "render/PassState.h"
#include "support/GlContext.h"
#include "support/GlPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

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

// Lays out text into a fresh layout.
TextLayout laidOut(const char* text, int x, int y, int size) {
    TextLayout out;
    layoutText(text, x, y, size, out);
    return out;
}

TEST(TextLayout, TwoLettersSitSideBySideInTheirAtlasCells) {
    const TextLayout layout = laidOut("AB", 10, 10, 50);
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
    const TextLayout layout = laidOut("xyz", 0, 100, 33);
    ASSERT_EQ(layout.positions.size(), 18u);
    EXPECT_FLOAT_EQ(layout.positions[12].x, 2 * 0.8f * 33); // third glyph's left edge
    EXPECT_FLOAT_EQ(layout.positions[14].x, 3 * 0.8f * 33);
    EXPECT_FLOAT_EQ(layout.positions[12].y, 133.0f);
    EXPECT_FLOAT_EQ(layout.positions[13].y, 100.0f);
}

TEST(TextLayout, WidthIsTheAdvanceTimesTheLengthTruncated) {
    EXPECT_EQ(textWidth("xyz", 33), 79); // 79.2 pixels
    EXPECT_EQ(textWidth("AB", 50), 80);
    EXPECT_EQ(textWidth("", 50), 0);
}

TEST(TextLayout, EmptyTextHasNoCorners) {
    const TextLayout layout = laidOut("", 10, 10, 50);
    EXPECT_TRUE(layout.positions.empty());
    EXPECT_TRUE(layout.uvs.empty());
}

TEST(TextLayout, ReplacesWhatTheLayoutHeld) {
    TextLayout reused;
    layoutText("ABC", 0, 0, 10, reused);
    layoutText("B", 10, 10, 50, reused);
    const TextLayout fresh = laidOut("B", 10, 10, 50);
    EXPECT_EQ(reused.positions, fresh.positions);
    EXPECT_EQ(reused.uvs, fresh.uvs);
    layoutText("", 10, 10, 50, reused);
    EXPECT_TRUE(reused.positions.empty());
    EXPECT_TRUE(reused.uvs.empty());
}

TEST(TextLayout, CodesAbove127CountAsNegativeWithTruncatingDivision) {
    // 0xEF is -17 as a signed byte: -17 % 16 = -1 and -17 / 16 = -1.
    const TextLayout layout = laidOut("\xEF", 0, 0, 10);
    ASSERT_EQ(layout.uvs.size(), 6u);
    EXPECT_FLOAT_EQ(layout.uvs[0].x, -0.0625f);
    EXPECT_FLOAT_EQ(layout.uvs[0].y, 1.0625f);
    EXPECT_FLOAT_EQ(layout.uvs[1].y, 1.0f);
    EXPECT_FLOAT_EQ(layout.uvs[2].x, 0.0f);
}

// The real renderer: font atlas and text program from the asset tree, drawing into the
// cleared window with the state the game draws text with.
class TextRendererTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        CaptureStdout(); // compile logs
        renderer = std::make_unique<TextRenderer>();
        compileLog = GetCapturedStdout();
        // The game's text state: the window, see-through blending.
        PassState state;
        state.viewport = glm::ivec2(kWindowWidth, kWindowHeight);
        applyPassState(state);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        renderer.reset();
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Triangles one draw of text sends down the pipeline.
    GLuint trianglesDrawnFor(const char* text) {
        GLuint query = 0;
        glGenQueries(1, &query);
        renderer->begin();
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        renderer->draw(text, 10, 10, 50);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint triangles = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
        glDeleteQueries(1, &query);
        return triangles;
    }

    std::unique_ptr<TextRenderer> renderer;
    std::string compileLog;
};

TEST_F(TextRendererTest, ConstructionBuildsTheProgramAndFindsTheSampler) {
    EXPECT_EQ(linkStatus(renderer->textProgram.name()), GL_TRUE) << compileLog;
    EXPECT_NE(compileLog.find("text.vert"), std::string::npos) << compileLog;
    EXPECT_NE(compileLog.find("text.frag"), std::string::npos) << compileLog;
    EXPECT_NE(renderer->samplerLocation, -1);
    EXPECT_EQ(renderer->samplerLocation,
              glGetUniformLocation(renderer->textProgram.name(), "myTextureSampler"));
    EXPECT_TRUE(glIsTexture(renderer->fontTexture.name()));
}

TEST_F(TextRendererTest, EachDrawShowsOnlyItsOwnText) {
    EXPECT_EQ(trianglesDrawnFor("ABC"), 6u);
    EXPECT_EQ(trianglesDrawnFor("A"), 2u) << "nothing left over from the longer line";
    EXPECT_EQ(trianglesDrawnFor(""), 0u);
    EXPECT_EQ(trianglesDrawnFor("AB"), 4u);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextRendererTest, DestructionReleasesTheFontAndTheProgram) {
    const GLuint font = renderer->fontTexture.name();
    const GLuint program = renderer->textProgram.name();
    renderer.reset();
    EXPECT_FALSE(glIsTexture(font));
    EXPECT_FALSE(glIsProgram(program));
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
    renderer->fontTexture = Texture(makeCodeAtlas());
    renderer->begin();
    renderer->draw("A~", 100, 200, 100); // quads x 100-180 and 180-260, y 200-300
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
    renderer->begin();
    renderer->draw("HI", kX, kY, kSize);
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

// A screen's lines queued and drawn at once look exactly as the lines drawn one by one, and a
// frame with other lines shows those, not the last frame's left in the buffers.
TEST_F(TextRendererTest, QueuedLinesDrawTheSamePixelsAsLinesDrawnOneByOne) {
    const struct {
        const char* text;
        int x, y, size;
    } lines[] = {{"BRAKKEL", 200, 450, 75},
                 {"Press ENTER to start!", 130, 380, 50},
                 {"W / S       drive", 130, 300, 20},
                 {"overlapping", 140, 310, 20}};
    renderer->begin();
    for (const auto& line : lines) {
        renderer->draw(line.text, line.x, line.y, line.size);
    }
    const std::vector<Rgba> oneByOne = readFrame();
    ASSERT_NE(std::count(oneByOne.begin(), oneByOne.end(), Rgba{0, 0, 0, 0}),
              static_cast<long>(oneByOne.size()))
        << "the lines are drawn";

    for (int frame = 0; frame < 2; ++frame) { // the second frame draws from the buffers as left
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer->begin();
        for (const auto& line : lines) {
            renderer->queue(line.text, line.x, line.y, line.size);
        }
        renderer->drawQueued();
        EXPECT_EQ(readFrame(), oneByOne) << "frame " << frame;
    }

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer->begin();
    renderer->draw("BRAKKEL", 200, 450, 75);
    const std::vector<Rgba> title = readFrame();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer->begin();
    renderer->queue("BRAKKEL", 200, 450, 75);
    renderer->drawQueued();
    EXPECT_EQ(readFrame(), title) << "a frame of other lines draws only those";
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace

// The font, a grey picture with alpha, is kept in two bytes a texel instead of four, and text
// drawn with it, magnified and shrunk through its mip levels, is the text its RGBA picture draws.
TEST_F(TextRendererTest, TheFontKeptAsGreyAndAlphaDrawsWhatItsRgbaPictureDraws) {
    glBindTexture(GL_TEXTURE_2D, renderer->fontTexture.name());
    GLint stored = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &stored);
    EXPECT_EQ(stored, GL_LUMINANCE8_ALPHA8);

    const auto drawLines = [&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderer->begin();
        int y = 10;
        for (int size : {120, 75, 33, 20, 14, 9, 7}) {
            renderer->draw("Brakkel 0123456789 !?% overlapping", 5, y, size);
            y += size + 3;
        }
        return readFrame();
    };
    const std::vector<Rgba> kept = drawLines();

    TgaImage picture;
    ASSERT_TRUE(readTga(std::string(kTextureDir) + "font.tga", picture));
    ASSERT_EQ(picture.channels, 4);
    Texture rgba = Texture::create();
    glBindTexture(GL_TEXTURE_2D, rgba.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, picture.pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    std::swap(renderer->fontTexture, rgba);
    const std::vector<Rgba> fromRgba = drawLines();

    EXPECT_GT(std::count_if(kept.begin(), kept.end(), [](const Rgba& p) { return p[3] > 0; }),
              20000)
        << "the lines are drawn";
    EXPECT_TRUE(kept == fromRgba) << "the grey and alpha font draws other pixels";
}
