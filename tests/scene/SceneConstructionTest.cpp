// What a freshly built scene holds.
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

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

    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, scene->renderer.shadowMap.depthTexture.name());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 4096);
    GLint compareMode = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &compareMode);
    EXPECT_EQ(compareMode, GL_COMPARE_REF_TO_TEXTURE);
    glBindTexture(GL_TEXTURE_2D, 0);
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
