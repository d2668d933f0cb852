#include "render/ScreenPass.h"
#include "platform/WindowSize.h"
#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"
#include "render/PassState.h"
#include "render/ScreenQuad.h"
#include "render/ShaderLoader.h"
#include "support/GlContext.h"
#include "support/GlPixels.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

std::vector<std::uint8_t> solid(int texels, Rgba colour) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(texels) * colour.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = colour[i % colour.size()];
    }
    return bytes;
}

void expectRgbNear(Rgba actual, float r, float g, float b, float tolerance, const char* where) {
    EXPECT_NEAR(actual[0], r, tolerance) << where;
    EXPECT_NEAR(actual[1], g, tolerance) << where;
    EXPECT_NEAR(actual[2], b, tolerance) << where;
}

// The window, cleared, as the screen passes draw into it.
class ScreenPassTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        PassState state;
        state.viewport = glm::ivec2(kWindowWidth, kWindowHeight);
        applyPassState(state);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        glUseProgram(0);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // A texture the test owns until it ends.
    GLuint texture(int width, int height, const std::vector<std::uint8_t>& rgba) {
        textures.emplace_back(makeTexture(width, height, rgba));
        return textures.back().name();
    }

    std::vector<Texture> textures;
};

// The screen pass's two layers with the game's programs: the background picture and the
// final pass over the given targets.
struct GamePasses {
    GamePasses(GLuint picture, GLuint colour, GLuint glow)
        : program(BackgroundQuad::loadProgram()), background(program.name(), picture),
          finalPass(colour, glow) {}
    void draw(float darken) const {
        drawScreenPass(background, finalPass,
                       {glm::ivec2(kWindowWidth, kWindowHeight), true, true, darken});
    }

    Program program;
    BackgroundQuad background;
    FinalPass finalPass;
};

// Paints each pixel with the quad's texture coordinate in red and green and its depth
// coordinate, moved by 0.5, in blue.
Program quadProbe() {
    TempDir dir;
    CaptureStdout();
    Program program = loadShaders(dir.write("probe.vert", R"(#version 330
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;
out vec3 tint;
void main() {
    tint = vec3(uv, position.z + 0.5);
    gl_Position = vec4(position, 1.0);
}
)"),
                                  dir.write("probe.frag", R"(#version 330
in vec3 tint;
out vec4 color;
void main() { color = vec4(tint, 1.0); }
)"));
    GetCapturedStdout();
    return program;
}

TEST_F(ScreenPassTest, QuadCoversTheWindowFacingTheViewerWithTextureOriginAtTheBottomLeft) {
    const Program probe = quadProbe();
    const ScreenQuad quad;
    PassState state; // back faces culled: the quad must wind counter-clockwise to show
    state.viewport = glm::ivec2(kWindowWidth, kWindowHeight);
    state.blend = Blend::Off;
    applyPassState(state);
    glUseProgram(probe.name());
    quad.draw();
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);

    // Texture coordinates run linearly from 0 at the window's left and bottom edges to 1 at
    // its right and top edges; z is 0 everywhere.
    const std::vector<Rgba> frame = readFrame();
    int wrong = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const Rgba& p = frame[static_cast<size_t>(y) * kWindowWidth + x];
            const float u = (x + 0.5f) / kWindowWidth * 255.0f;
            const float v = (y + 0.5f) / kWindowHeight * 255.0f;
            const bool right = std::abs(p[0] - u) <= 1.0f && std::abs(p[1] - v) <= 1.0f &&
                               std::abs(p[2] - 127.5f) <= 1.0f && p[3] == 255;
            if (!right && ++wrong <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << int(p[0]) << " " << int(p[1])
                              << " " << int(p[2]) << " " << int(p[3]);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ScreenPassTest, BackgroundPrintsItsSamplerLocationAfterItsProgramIsRead) {
    CaptureStdout();
    const Program program = BackgroundQuad::loadProgram();
    const BackgroundQuad background(program.name(), 0);
    const std::string output = GetCapturedStdout();

    const GLint location = glGetUniformLocation(program.name(), "texSampler");
    ASSERT_NE(location, -1);
    EXPECT_EQ(background.texSamplerLocation, location);
    EXPECT_EQ(background.scaleDownLocation, glGetUniformLocation(program.name(), "scale_down"));
    EXPECT_NE(background.scaleDownLocation, -1);
    EXPECT_EQ(linkStatus(program.name()), GL_TRUE) << output;

    EXPECT_NE(output.find("Compiling shader : ../Brakkel_game/Shaders/background.vert\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("Compiling shader : ../Brakkel_game/Shaders/background.frag\n"),
              std::string::npos)
        << output;
    const std::string last = "\ntexSampler " + std::to_string(location) + "\n";
    ASSERT_GE(output.size(), last.size());
    EXPECT_EQ(output.substr(output.size() - last.size()), last) << output;
}

TEST_F(ScreenPassTest, BackgroundPutsTextureOriginAtBottomLeftOfWindow) {
    // Texels from t = 0 upwards: red, green on the bottom row; blue, white on the top row.
    const GLuint picture = texture(2, 2,
                                   {255, 0, 0, 255, 0, 255, 0, 255, //
                                    0, 0, 255, 255, 255, 255, 255, 255});
    const GLuint sentinel = texture(1, 1, {0, 0, 0, 0});
    CaptureStdout();
    const Program program = BackgroundQuad::loadProgram();
    const BackgroundQuad background(program.name(), picture);
    GetCapturedStdout();
    // The quad sets its own scale: a share left by someone else does not shrink the picture.
    glUseProgram(program.name());
    glUniform2f(background.scaleDownLocation, 0.5f, 0.5f);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, sentinel);

    background.draw();

    expectRgbNear(readPixel(2, 2), 255, 0, 0, 1, "bottom-left");
    expectRgbNear(readPixel(kWindowWidth - 3, 2), 0, 255, 0, 1, "bottom-right");
    expectRgbNear(readPixel(2, kWindowHeight - 3), 0, 0, 255, 1, "top-left");
    expectRgbNear(readPixel(kWindowWidth - 3, kWindowHeight - 3), 255, 255, 255, 1, "top-right");
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(intState(GL_ACTIVE_TEXTURE), GL_TEXTURE0) << "the picture goes on unit 0";
    EXPECT_EQ(textureOnUnit(GL_TEXTURE0), 0u) << "and is unbound again";
    EXPECT_EQ(textureOnUnit(GL_TEXTURE1), sentinel);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(ScreenPassTest, FinalPassBuildsItsProgramAndKeepsItsTargets) {
    CaptureStdout();
    const FinalPass finalPass(11, 12);
    const std::string log = GetCapturedStdout();
    EXPECT_NE(log.find("final.vert"), std::string::npos);
    EXPECT_NE(log.find("final.frag"), std::string::npos);
    EXPECT_EQ(linkStatus(finalPass.program.name()), GL_TRUE) << log;
    EXPECT_NE(finalPass.darkenLocation, -1);
    EXPECT_NE(finalPass.texSampler1Location, -1);
    EXPECT_NE(finalPass.texSampler2Location, -1);
    EXPECT_EQ(finalPass.colourTarget, 11u);
    EXPECT_EQ(finalPass.glowTarget, 12u);
}

TEST_F(ScreenPassTest, FinalPassLeavesUnitZeroActiveAndNeitherTargetBound) {
    const GLuint scene = texture(1, 1, {0, 0, 0, 0});
    const GLuint glow = texture(1, 1, {0, 0, 0, 0});
    CaptureStdout();
    const FinalPass finalPass(scene, glow);
    GetCapturedStdout();
    glActiveTexture(GL_TEXTURE1);
    finalPass.draw(1.0f);
    EXPECT_EQ(intState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE0), 0u);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE1), 0u);
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);
}

// Scene thirds, left to right: opaque orange, half-covering orange (premultiplied), nothing
// drawn. Sky: a flat blue-grey. No glow.
TEST_F(ScreenPassTest, SceneCoversTheSkyByItsAlphaAndDarkenDimsTheWholeFrame) {
    const Rgba sky = {100, 150, 200, 255};
    const GLuint picture = texture(1, 1, solid(1, sky));
    std::vector<std::uint8_t> thirds;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const Rgba texel = x < kWindowWidth / 3       ? Rgba{200, 100, 40, 255}
                               : x < kWindowWidth * 2 / 3 ? Rgba{100, 50, 20, 128}
                                                          : Rgba{0, 0, 0, 0};
            thirds.insert(thirds.end(), texel.begin(), texel.end());
        }
    }
    const GLuint scene = texture(kWindowWidth, kWindowHeight, thirds);
    const GLuint glow = texture(1, 1, {0, 0, 0, 0});
    CaptureStdout();
    const GamePasses pass(picture, scene, glow);
    GetCapturedStdout();

    const int y = kWindowHeight / 2;
    const int columns[3] = {kWindowWidth / 6, kWindowWidth / 2, kWindowWidth * 5 / 6};
    const float half = 128.0f / 255.0f;
    const float expected[3][3] = {
        {200, 100, 40},
        {200 * half + 100 * (1 - half), 100 * half + 150 * (1 - half),
         40 * half + 200 * (1 - half)},
        {100, 150, 200},
    };

    pass.draw(1.0f);
    const std::vector<Rgba> bright = readFrame();
    for (int i = 0; i < 3; ++i) {
        expectRgbNear(readPixel(columns[i], y), expected[i][0], expected[i][1], expected[i][2], 3,
                      "darken 1");
    }

    constexpr float kDimmed = 0.3f;
    pass.draw(kDimmed);
    const std::vector<Rgba> dim = readFrame();
    for (int i = 0; i < 3; ++i) {
        expectRgbNear(readPixel(columns[i], y), kDimmed * expected[i][0], kDimmed * expected[i][1],
                      kDimmed * expected[i][2], 3, "darken 0.3");
    }

    double brightSum = 0.0;
    double dimSum = 0.0;
    for (size_t i = 0; i < bright.size(); ++i) {
        brightSum += bright[i][0] + bright[i][1] + bright[i][2];
        dimSum += dim[i][0] + dim[i][1] + dim[i][2];
    }
    ASSERT_GT(brightSum, 0.0);
    EXPECT_NEAR(dimSum / brightSum, kDimmed, 0.01);
}

// Glow texels lit in the given squares (left, bottom, side) of an otherwise dark target.
std::vector<std::uint8_t> glowSquares(std::initializer_list<glm::ivec3> squares) {
    std::vector<std::uint8_t> texels(static_cast<size_t>(kWindowWidth) * kWindowHeight * 4, 0);
    for (const glm::ivec3& square : squares) {
        for (int y = square.y; y < square.y + square.z; ++y) {
            for (int x = square.x; x < square.x + square.z; ++x) {
                std::fill_n(texels.begin() + (static_cast<long>(y) * kWindowWidth + x) * 4, 4, 255);
            }
        }
    }
    return texels;
}

// The screen pass over a black sky and an empty scene, with only glow; returns the red channel
// of the window.
class GlowTest : public ScreenPassTest {
protected:
    std::vector<Rgba> composeGlow(const std::vector<std::uint8_t>& glowTexels) {
        const GLuint picture = texture(1, 1, {0, 0, 0, 255});
        const GLuint scene =
            texture(kWindowWidth, kWindowHeight, solid(kWindowWidth * kWindowHeight, {0, 0, 0, 0}));
        const GLuint glow = texture(kWindowWidth, kWindowHeight, glowTexels);
        CaptureStdout();
        const GamePasses pass(picture, scene, glow);
        GetCapturedStdout();
        pass.draw(1.0f);
        return readFrame();
    }
    static int red(const std::vector<Rgba>& frame, int x, int y) {
        return frame[static_cast<size_t>(y) * kWindowWidth + x][0];
    }
};

// A small bright square blooms into a soft halo around it, about as far in every direction,
// which fades out within a few dozen pixels.
TEST_F(GlowTest, GlowBloomsRoundlyAroundItsSourceAndFades) {
    constexpr int kX = 508;
    constexpr int kY = 380;
    constexpr int kSide = 6;
    const std::vector<Rgba> frame = composeGlow(glowSquares({{kX, kY, kSide}}));
    const int cx = kX + kSide / 2;
    const int cy = kY + kSide / 2;
    const int centre = red(frame, cx, cy);
    const int along = red(frame, cx + 9, cy);
    const int diagonal = red(frame, cx + 6, cy + 6); // about as far away
    EXPECT_GT(centre, 60) << "the source glows";
    EXPECT_GT(along, 10) << "the glow spills past the source";
    EXPECT_LT(along, centre);
    // Round rather than a cross: the diagonal gets about as much as the axis.
    EXPECT_GT(diagonal, along * 0.6);
    EXPECT_LT(diagonal, along * 1.6 + 2);
    EXPECT_EQ(red(frame, cx + 40, cy), 0) << "the bloom stays local";
    EXPECT_EQ(red(frame, cx, cy + 40), 0);
}

// Glow at one edge of the window does not come in at the opposite edge.
TEST_F(GlowTest, GlowNearTheLeftEdgeAddsNothingAtTheRightEdge) {
    const std::vector<Rgba> frame =
        composeGlow(glowSquares({{0, 380, 4}, {0, 0, 4}, {0, kWindowHeight - 4, 4}}));
    EXPECT_GT(red(frame, 2, 382), 20) << "the glow is there";
    int atRightEdge = 0;
    int atTopOrBottom = 0;
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = kWindowWidth - 24; x < kWindowWidth; ++x) {
            atRightEdge = std::max(atRightEdge, red(frame, x, y));
        }
    }
    for (int x = 100; x < kWindowWidth; ++x) {
        atTopOrBottom =
            std::max(atTopOrBottom, std::max(red(frame, x, 0), red(frame, x, kWindowHeight - 1)));
    }
    EXPECT_EQ(atRightEdge, 0);
    EXPECT_EQ(atTopOrBottom, 0);
}

} // namespace
