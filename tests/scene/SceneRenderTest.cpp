#include "support/SceneFixture.h"

#include "app/RenderOptions.h"
#include "app/Window.h"
#include "app/WindowSize.h"
#include "game/Tank.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct Coverage {
    double drawnShare;     // pixels with alpha above one half
    double meanBrightness; // mean of r, g, b over drawn pixels, 0..255
};

Coverage sceneTargetCoverage(GLuint texture) {
    std::vector<unsigned char> pixels(static_cast<size_t>(kWindowWidth) * kWindowHeight * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    size_t drawn = 0;
    double brightness = 0.0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        if (pixels[i + 3] > 127) {
            ++drawn;
            brightness += (pixels[i] + pixels[i + 1] + pixels[i + 2]) / 3.0;
        }
    }
    return {static_cast<double>(drawn) / (pixels.size() / 4), drawn ? brightness / drawn : 0.0};
}

void expectFrameEndState() {
    GLint value = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    GLint polygonMode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWindowWidth);
    EXPECT_EQ(viewport[3], kWindowHeight);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(SceneTest, AFrameLeavesTheStateItFound) {
    frame();
    expectFrameEndState();
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneTest, WireframeTouchesOnlyTheMainPass) {
    tap(GLFW_KEY_F3);
    tap(GLFW_KEY_ENTER);
    frame();
    ASSERT_TRUE(wireframe);
    expectFrameEndState();
    const Coverage lines = sceneTargetCoverage(scene->sceneColorTextures[0]);
    tap(GLFW_KEY_F3);
    frame();
    const Coverage filled = sceneTargetCoverage(scene->sceneColorTextures[0]);
    EXPECT_LT(lines.drawnShare, filled.drawnShare * 0.8);
}

TEST_F(SceneTest, MatchFrameDrawsALitArena) {
    tap(GLFW_KEY_ENTER);
    frame();
    frame();
    const Coverage lit = sceneTargetCoverage(scene->sceneColorTextures[0]);
    // Ground and walls fill most of the view behind the player's tank.
    EXPECT_GT(lit.drawnShare, 0.4);
    EXPECT_GT(lit.meanBrightness, 40.0);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Zoomed in close, the player's tank is drawn see-through over the ground; the ground behind
// it must still cover the sky completely.
TEST_F(SceneTest, SeeThroughTankKeepsTheGroundBehindItOpaque) {
    tap(GLFW_KEY_ENTER);
    frame();
    window::injectScroll(8);
    frame();
    frame();
    ASSERT_LT(scene->playerTank->alpha, 1.0f);
    std::vector<unsigned char> pixels(static_cast<size_t>(kWindowWidth) * kWindowHeight * 4);
    glBindTexture(GL_TEXTURE_2D, scene->sceneColorTextures[0]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    // The lower third of the view looks down at the ground, partly through the tank.
    size_t partlyCovered = 0;
    for (int y = 0; y < kWindowHeight / 3; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            partlyCovered += pixels[(static_cast<size_t>(y) * kWindowWidth + x) * 4 + 3] < 250;
        }
    }
    EXPECT_EQ(partlyCovered, 0u);
}

TEST_F(SceneTest, ShadowMapHoldsTheSceneDepth) {
    frame();
    std::vector<float> depth(4096u * 4096u);
    glBindTexture(GL_TEXTURE_2D, scene->shadowDepthTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    size_t covered = 0;
    for (float d : depth) {
        covered += d < 1.0f ? 1 : 0;
    }
    EXPECT_GT(covered, depth.size() / 10);
}

} // namespace
