#include "app/WindowSize.h"
#include "render/AssetPaths.h"
#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"
#include "render/ScreenQuad.h"
#include "render/ShaderLoader.h"
#include "support/GlContext.h"
#include "support/GlPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

GLint intState(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureOnUnit(GLenum unit) {
    const GLint active = intState(GL_ACTIVE_TEXTURE);
    glActiveTexture(unit);
    const GLint bound = intState(GL_TEXTURE_BINDING_2D);
    glActiveTexture(static_cast<GLenum>(active));
    return bound;
}

std::vector<std::uint8_t> solid(int texels, Rgba colour) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < texels; ++i) {
        bytes.insert(bytes.end(), colour.begin(), colour.end());
    }
    return bytes;
}

void expectRgbNear(Rgba actual, float r, float g, float b, float tolerance, const char* where) {
    EXPECT_NEAR(actual[0], r, tolerance) << where;
    EXPECT_NEAR(actual[1], g, tolerance) << where;
    EXPECT_NEAR(actual[2], b, tolerance) << where;
}

// The game's background program with the whole picture spread over the window.
class ScreenPassTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        CaptureStdout(); // compile logs
        backgroundProgram = loadShaders(std::string(kShaderDir) + "background.vert",
                                        std::string(kShaderDir) + "background.frag");
        GetCapturedStdout();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, kWindowWidth, kWindowHeight);
    }
    void TearDown() override {
        glDeleteProgram(backgroundProgram);
        for (GLuint texture : textures) {
            glDeleteTextures(1, &texture);
        }
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    GLuint texture(int width, int height, const std::vector<std::uint8_t>& rgba) {
        textures.push_back(makeTexture(width, height, rgba));
        return textures.back();
    }

    void drawBackground(BackgroundQuad& background) {
        glUseProgram(backgroundProgram);
        glUniform2f(glGetUniformLocation(backgroundProgram, "scale_down"), 1.0f, 1.0f);
        background.draw();
    }

    // The window part of a frame: background, depth cleared, the final pass over it.
    void composeFrame(BackgroundQuad& background, FinalPass& finalPass) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawBackground(background);
        glClear(GL_DEPTH_BUFFER_BIT);
        finalPass.draw();
    }

    GLuint backgroundProgram = 0;
    std::vector<GLuint> textures;
};

TEST_F(ScreenPassTest, QuadHoldsTheEightyBytesWithItsAttributeLayout) {
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    buildScreenQuad(vertexArray, vertexBuffer);
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(intState(GL_ARRAY_BUFFER_BINDING), 0);

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    ASSERT_EQ(size, 80);
    float data[20] = {};
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(data), data);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const float expected[20] = {-1, -1, 0, 0, 0, 1, -1, 0, 1, 0, 1, 1, 0, 1, 1, -1, 1, 0, 0, 1};
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(data[i], expected[i]) << "float " << i;
    }

    glBindVertexArray(vertexArray);
    const struct {
        GLuint index;
        GLint components;
        std::uintptr_t offset;
    } attributes[] = {{0, 3, 0}, {1, 2, 12}};
    for (const auto& attribute : attributes) {
        GLint value = 0;
        glGetVertexAttribiv(attribute.index, GL_VERTEX_ATTRIB_ARRAY_SIZE, &value);
        EXPECT_EQ(value, attribute.components);
        glGetVertexAttribiv(attribute.index, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &value);
        EXPECT_EQ(value, 20);
        glGetVertexAttribiv(attribute.index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
        EXPECT_EQ(value, GL_FALSE) << "attributes are enabled only while drawing";
        glGetVertexAttribiv(attribute.index, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &value);
        EXPECT_EQ(static_cast<GLuint>(value), vertexBuffer);
        void* pointer = nullptr;
        glGetVertexAttribPointerv(attribute.index, GL_VERTEX_ATTRIB_ARRAY_POINTER, &pointer);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pointer), attribute.offset);
    }
    glBindVertexArray(0);
    deleteScreenQuad(vertexArray, vertexBuffer);
    EXPECT_FALSE(glIsBuffer(vertexBuffer));
    EXPECT_FALSE(glIsVertexArray(vertexArray));
}

TEST_F(ScreenPassTest, BackgroundPrintsItsSamplerLocation) {
    const GLint location = glGetUniformLocation(backgroundProgram, "texSampler");
    ASSERT_NE(location, -1);
    CaptureStdout();
    BackgroundQuad background(backgroundProgram, 0);
    EXPECT_EQ(GetCapturedStdout(), "texSampler " + std::to_string(location) + "\n");
    EXPECT_EQ(background.texSamplerLocation, location);
    EXPECT_EQ(background.program, backgroundProgram);
}

TEST_F(ScreenPassTest, BackgroundPutsTextureOriginAtBottomLeftOfWindow) {
    // Texels from t = 0 upwards: red, green on the bottom row; blue, white on the top row.
    const GLuint picture = texture(2, 2,
                                   {255, 0, 0, 255, 0, 255, 0, 255, //
                                    0, 0, 255, 255, 255, 255, 255, 255});
    CaptureStdout();
    BackgroundQuad background(backgroundProgram, picture);
    GetCapturedStdout();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawBackground(background);

    expectRgbNear(readPixel(2, 2), 255, 0, 0, 1, "bottom-left");
    expectRgbNear(readPixel(kWindowWidth - 3, 2), 0, 255, 0, 1, "bottom-right");
    expectRgbNear(readPixel(2, kWindowHeight - 3), 0, 0, 255, 1, "top-left");
    expectRgbNear(readPixel(kWindowWidth - 3, kWindowHeight - 3), 255, 255, 255, 1, "top-right");
    EXPECT_EQ(intState(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);
    EXPECT_EQ(intState(GL_TEXTURE_BINDING_2D), 0);
}

TEST_F(ScreenPassTest, FinalPassBuildsItsProgramAndStartsUndimmed) {
    CaptureStdout();
    FinalPass finalPass(11, 12);
    const std::string log = GetCapturedStdout();
    EXPECT_NE(log.find("final.vert"), std::string::npos);
    EXPECT_NE(log.find("final.frag"), std::string::npos);
    GLint linked = GL_FALSE;
    glGetProgramiv(finalPass.program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE) << log;
    EXPECT_NE(finalPass.darkenLocation, -1);
    EXPECT_NE(finalPass.texSampler1Location, -1);
    EXPECT_NE(finalPass.texSampler2Location, -1);
    EXPECT_EQ(finalPass.darken, 1.0f);
    EXPECT_EQ(finalPass.texture1, 11u);
    EXPECT_EQ(finalPass.texture2, 12u);
    glDeleteProgram(finalPass.program);
}

TEST_F(ScreenPassTest, FinalPassLeavesUnitZeroActiveAndEmptyAndUnitOneWithTheGlow) {
    const GLuint scene = texture(1, 1, {0, 0, 0, 0});
    const GLuint glow = texture(1, 1, {0, 0, 0, 0});
    CaptureStdout();
    FinalPass finalPass(scene, glow);
    GetCapturedStdout();
    finalPass.draw();
    EXPECT_EQ(intState(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(textureOnUnit(GL_TEXTURE0), 0);
    EXPECT_EQ(static_cast<GLuint>(textureOnUnit(GL_TEXTURE1)), glow);
    EXPECT_EQ(intState(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(intState(GL_VERTEX_ARRAY_BINDING), 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glDeleteProgram(finalPass.program);
}

// Scene columns, left to right: opaque orange, half-covering orange (premultiplied), nothing
// drawn.
// Sky: a flat blue-grey. No glow.
TEST_F(ScreenPassTest, SceneCoversTheSkyByItsAlphaAndDarkenDimsTheWholeFrame) {
    const Rgba sky = {100, 150, 200, 255};
    const GLuint picture = texture(1, 1, solid(1, sky));
    const GLuint scene = texture(3, 1, {200, 100, 40, 255, 100, 50, 20, 128, 0, 0, 0, 0});
    const GLuint glow = texture(1, 1, {0, 0, 0, 0});
    CaptureStdout();
    BackgroundQuad background(backgroundProgram, picture);
    FinalPass finalPass(scene, glow);
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

    composeFrame(background, finalPass);
    const std::vector<Rgba> bright = readFrame();
    for (int i = 0; i < 3; ++i) {
        expectRgbNear(readPixel(columns[i], y), expected[i][0], expected[i][1], expected[i][2], 3,
                      "darken 1");
    }

    constexpr float kDimmed = 0.3f;
    finalPass.darken = kDimmed;
    composeFrame(background, finalPass);
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
    glDeleteProgram(finalPass.program);
}

// A 10 × 10 glowing block in the middle of an otherwise empty scene over a black sky.
TEST_F(ScreenPassTest, GlowBloomsSlightlyPastItsEdges) {
    const GLuint picture = texture(1, 1, {0, 0, 0, 255});
    const GLuint scene = texture(1, 1, {0, 0, 0, 0});
    std::vector<std::uint8_t> glowTexels(static_cast<size_t>(kWindowWidth) * kWindowHeight * 4, 0);
    constexpr int kBlockStart = 507;
    constexpr int kBlockSize = 10;
    constexpr int kRow = kWindowHeight / 2;
    for (int y = kRow - kBlockSize / 2; y < kRow + kBlockSize / 2; ++y) {
        for (int x = kBlockStart; x < kBlockStart + kBlockSize; ++x) {
            std::fill_n(glowTexels.begin() + (static_cast<long>(y) * kWindowWidth + x) * 4, 4, 255);
        }
    }
    const GLuint glow = texture(kWindowWidth, kWindowHeight, glowTexels);
    CaptureStdout();
    BackgroundQuad background(backgroundProgram, picture);
    FinalPass finalPass(scene, glow);
    GetCapturedStdout();
    composeFrame(background, finalPass);

    const Rgba centre = readPixel(kBlockStart + kBlockSize / 2, kRow);
    const Rgba nearEdge = readPixel(kBlockStart + kBlockSize + 2, kRow);
    const Rgba farAway = readPixel(kBlockStart + kBlockSize + 30, kRow);
    EXPECT_GT(centre[0], 240) << "the block itself glows at full strength";
    EXPECT_GT(nearEdge[0], 5) << "the glow spills past the block";
    EXPECT_LT(nearEdge[0], centre[0] / 2) << "and fades quickly";
    EXPECT_EQ(farAway[0], 0) << "the bloom stays local";
    glDeleteProgram(finalPass.program);
}

} // namespace
