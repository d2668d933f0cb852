// What a freshly built scene holds.
#include "support/SceneFixture.h"

#include "platform/WindowSize.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST_F(SceneTest, StartsOnTheTitleScreenWithTheCameraAtRest) {
    EXPECT_FALSE((scene->client.flow->phase() != Phase::Title));
    EXPECT_FALSE((scene->client.flow->phase() == Phase::Ended));
    EXPECT_STREQ(scene->client.resultLine(), "");
    EXPECT_FALSE(scene->options.showFrameRate);
    const ChaseCamera& camera = scene->client.camera;
    EXPECT_EQ(camera.distance, 10.0f);
    EXPECT_EQ(camera.pitch, 30.0f);
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.eye, glm::vec3(0.0f));
    EXPECT_EQ(camera.target, glm::vec3(0.0f));
    EXPECT_EQ(camera.up, glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(computer().position, glm::vec3(0.0f, 0.05f, -5.0f));
    EXPECT_EQ(computer().heading, 180.0f);
    EXPECT_EQ(player().position, glm::vec3(0.0f, 0.05f, 5.0f));
    EXPECT_EQ(player().heading, 0.0f);
}

TEST_F(SceneTest, LightComesFromTheFixedSun) {
    // The lit program holds the light it was given.
    const GLuint lit = scene->renderer.mainPass.program.name();
    glm::vec3 light(0.0f);
    glGetUniformfv(lit, glGetUniformLocation(lit, "lightdir_world"), &light[0]);
    EXPECT_NEAR(light.x, 0.5345225f, 1e-6f);
    EXPECT_NEAR(light.y, 0.8017837f, 1e-6f);
    EXPECT_NEAR(light.z, 0.2672612f, 1e-6f);
    EXPECT_NEAR(glm::length(light), 1.0f, 1e-6f);
}

TEST_F(SceneTest, RenderTargetsAreComplete) {
    EXPECT_NE(constructionOutput.find("SM FBO created successfully\n"), std::string::npos);
    EXPECT_EQ(constructionOutput.find("ERROR SETTING UP FBO"), std::string::npos);
    EXPECT_NE(constructionOutput.find("Init particle Shaders: 0\n"), std::string::npos);

    glBindFramebuffer(GL_FRAMEBUFFER, scene->renderer.mainPass.framebuffer.name());
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(intState(GL_DRAW_BUFFER1), GL_COLOR_ATTACHMENT1);
    glBindFramebuffer(GL_FRAMEBUFFER, scene->renderer.shadowMap.framebuffer.name());
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    // A 4096 × 4096 map, of which the part anything drawn can read is stored.
    const ShadowMap& map = scene->renderer.shadowMap;
    EXPECT_EQ(map.size(), 4096);
    glm::ivec2 stored(0);
    glBindTexture(GL_TEXTURE_RECTANGLE, map.depthTexture.name());
    glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE, 0, GL_TEXTURE_WIDTH, &stored.x);
    glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE, 0, GL_TEXTURE_HEIGHT, &stored.y);
    EXPECT_EQ(stored, map.storedTexels());
    GLint compareMode = 0;
    glGetTexParameteriv(GL_TEXTURE_RECTANGLE, GL_TEXTURE_COMPARE_MODE, &compareMode);
    EXPECT_EQ(compareMode, GL_COMPARE_REF_TO_TEXTURE);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    const Bounds& reach = scene->sceneBounds;
    for (int i = 0; i < 8; ++i) {
        const glm::vec4 corner(i & 1 ? reach.max.x : reach.min.x, i & 2 ? reach.max.y : reach.min.y,
                               i & 4 ? reach.max.z : reach.min.z, 1.0f);
        const glm::vec4 t = map.shadowTextureMatrix * corner;
        const glm::vec2 texel = glm::vec2(t) / t.w * 4096.0f;
        const glm::vec2 from(map.storedCorner());
        EXPECT_GT(texel.x - 2.0f, from.x) << "corner " << i;
        EXPECT_GT(texel.y - 2.0f, from.y) << "corner " << i;
        EXPECT_LT(texel.x + 2.0f, from.x + static_cast<float>(stored.x)) << "corner " << i;
        EXPECT_LT(texel.y + 2.0f, from.y + static_cast<float>(stored.y)) << "corner " << i;
    }
    EXPECT_LT(stored.x * stored.y, 4096 * 4096 * 11 / 20) << "little more than half the map";
}

// A lower preset's scene makes its smaller targets and shadow map from the start: nothing of
// the full preset's size is ever made.
TEST_F(SceneTest, ALowerPresetMakesItsOwnSizesFromTheStart) {
    scene.reset();
    Settings fast;
    fast.quality = QualityPreset::Fast;
    fast.renderScale = 50;
    testing::internal::CaptureStdout();
    scene = std::make_unique<Scene>(window(), kAiSeed, kParticleSeed, nullptr, nullptr, fast);
    testing::internal::GetCapturedStdout();
    const ShadowMap& map = scene->renderer.shadowMap;
    EXPECT_EQ(map.size(), 1024);
    glm::ivec2 stored(0);
    glBindTexture(GL_TEXTURE_RECTANGLE, map.depthTexture.name());
    glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE, 0, GL_TEXTURE_WIDTH, &stored.x);
    glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE, 0, GL_TEXTURE_HEIGHT, &stored.y);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    EXPECT_LE(stored.x, 1024);
    EXPECT_LE(stored.y, 1024);
    EXPECT_EQ(scene->renderer.mainPass.size(), glm::ivec2(kWindowWidth / 2, kWindowHeight / 2));
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, scene->renderer.mainPass.colourTarget());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(width, kWindowWidth / 2);
}

TEST_F(SceneTest, ProgramsAreLinkedAndTheLitProgramHasItsUniforms) {
    const GLuint lit = scene->renderer.mainPass.program.name();
    const GLuint shadow = scene->renderer.shadowMap.program.name();
    const GLuint background = scene->renderer.backgroundProgram.name();
    for (GLuint program : {lit, shadow, background}) {
        EXPECT_EQ(linkStatus(program), GL_TRUE);
    }
    for (const char* name :
         {"M", "V", "P", "lightdir_world", "alpha", "sm_light_texmat", "shadow_map", "ka", "kd",
          "ks", "ambientColor", "diffuseColor", "specularColor", "phongPower"}) {
        EXPECT_NE(glGetUniformLocation(lit, name), -1) << name;
    }
    EXPECT_NE(glGetUniformLocation(background, "scale_down"), -1);
    EXPECT_NE(glGetUniformLocation(shadow, "lightspace"), -1);
}

} // namespace
