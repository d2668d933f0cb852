// What a freshly built scene holds.
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

namespace {

TEST_F(SceneTest, StartsOnTheTitleScreenWithTheCameraAtRest) {
    EXPECT_FALSE(scene->flow.started);
    EXPECT_FALSE(scene->flow.gameOver);
    EXPECT_STREQ(scene->flow.resultMessage, "");
    EXPECT_FALSE(scene->options.showFrameRate);
    const ChaseCamera& camera = match().camera;
    EXPECT_EQ(camera.distance, 10.0f);
    EXPECT_EQ(camera.pitch, 30.0f);
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.eye, glm::vec3(0.0f));
    EXPECT_EQ(camera.target, glm::vec3(0.0f));
    EXPECT_EQ(camera.up, glm::vec3(0.0f, 1.0f, 0.0f));
}

TEST_F(SceneTest, TheFiveSceneTexturesInLoadOrderAndTheArenasOwn) {
    ASSERT_EQ(scene->assets.sceneTextures.size(), 5u);
    for (const Texture& texture : scene->assets.sceneTextures) {
        EXPECT_TRUE(glIsTexture(texture.name()));
    }
    EXPECT_EQ(scene->assets.backgroundPicture(), scene->assets.sceneTextures[4].name());
    // The scene's wall texture goes to the bullet, the camouflage to both tank models; the
    // arena's pieces have their own textures.
    EXPECT_EQ(scene->assets.bullet.meshes.front().texture, scene->assets.sceneTextures[3].name());
    EXPECT_EQ(scene->assets.hull.meshes.front().texture, scene->assets.sceneTextures[2].name());
    EXPECT_EQ(scene->assets.turret.meshes.front().texture, scene->assets.sceneTextures[2].name());
    EXPECT_EQ(scene->assets.wallBox.meshes.front().texture, scene->assets.arenaWallTexture.name());
    EXPECT_EQ(scene->assets.groundBox.meshes.front().texture,
              scene->assets.arenaGroundTexture.name());
}

TEST_F(SceneTest, TanksStartFacingEachOtherWithThePlayerListedFirst) {
    ASSERT_EQ(match().detector.tanks.size(), 2u);
    EXPECT_EQ(match().detector.tanks[0], &match().playerTank);
    EXPECT_EQ(match().detector.tanks[1], &match().aiTank);
    EXPECT_EQ(&match().ai.tank, &match().aiTank);
    EXPECT_EQ(&match().ai.opponent, &match().playerTank);
    EXPECT_EQ(match().aiTank.position, glm::vec3(0.0f, 0.05f, -5.0f));
    EXPECT_EQ(match().aiTank.heading, 180.0f);
    EXPECT_EQ(match().playerTank.position, glm::vec3(0.0f, 0.05f, 5.0f));
    EXPECT_EQ(match().playerTank.heading, 0.0f);
    EXPECT_EQ(match().arena.pieces.size(), 21u);
    // The bodies are sized from the loaded models: the hull is 2 × 0.5 × 2.
    EXPECT_FLOAT_EQ(match().playerTank.height, 0.5f);
    // Each tank has its own paint: the computer's is tinted.
    EXPECT_EQ(scene->assets.computerTankMaterial.diffuseColor, glm::vec3(1.0f, 0.44f, 0.22f));
    EXPECT_EQ(scene->assets.playerTankMaterial.diffuseColor, glm::vec3(1.0f));
}

TEST_F(SceneTest, TheFinalPassComposesTheMainPassTargets) {
    const MainPass& mainPass = scene->renderer.mainPass;
    const FinalPass& finalPass = scene->renderer.screenPass.finalPass;
    EXPECT_EQ(finalPass.colourTarget, mainPass.colourTarget());
    EXPECT_EQ(finalPass.glowTarget, mainPass.glowTarget());
    EXPECT_EQ(scene->renderer.screenPass.background.picture, scene->assets.backgroundPicture());
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
    // The background's location line ends the start-up output.
    EXPECT_EQ(constructionOutput.rfind("texSampler "),
              constructionOutput.size() - std::string("texSampler 1\n").size());

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
    const GLuint background = scene->renderer.screenPass.background.program.name();
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
