#include "support/SceneFixture.h"

#include "app/RenderOptions.h"
#include "game/AiController.h"
#include "game/Arena.h"
#include "game/ArenaPiece.h"
#include "game/BulletSystem.h"
#include "game/CollisionDetector.h"
#include "game/Tank.h"
#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"

#include <gtest/gtest.h>

namespace {

TEST_F(SceneTest, StartsOnTheTitleScreenWithTheCameraAtRest) {
    EXPECT_FALSE(scene->started);
    EXPECT_FALSE(scene->gameOver);
    EXPECT_EQ(scene->resultMessage, "");
    EXPECT_FALSE(showFrameRate);
    EXPECT_EQ(scene->cameraDistance, 10.0f);
    EXPECT_EQ(scene->cameraPitch, 30.0f);
    EXPECT_EQ(scene->cameraYaw, 0.0f);
    EXPECT_EQ(scene->cameraEye, glm::vec3(0.0f));
    EXPECT_EQ(scene->cameraTarget, glm::vec3(0.0f));
    EXPECT_EQ(scene->cameraUp, glm::vec3(0.0f, 1.0f, 0.0f));
}

TEST_F(SceneTest, TheFiveSceneTexturesInLoadOrder) {
    ASSERT_EQ(scene->textures.size(), 5u);
    EXPECT_EQ(scene->textures[0], scene->defaultTexture);
    EXPECT_EQ(scene->textures[1], scene->groundTexture);
    EXPECT_EQ(scene->textures[2], scene->camouflageTexture);
    EXPECT_EQ(scene->textures[3], scene->wallTexture);
    EXPECT_EQ(scene->textures[4], scene->backgroundTexture);
    for (GLuint texture : scene->textures) {
        EXPECT_TRUE(glIsTexture(texture));
    }
}

TEST_F(SceneTest, TanksStartFacingEachOtherWithThePlayerListedFirst) {
    ASSERT_EQ(tankList.size(), 2u);
    EXPECT_EQ(tankList[0], scene->playerTank);
    EXPECT_EQ(tankList[1], scene->aiTank);
    EXPECT_EQ(scene->aiTank->position, glm::vec3(0.0f, 0.05f, -5.0f));
    EXPECT_EQ(scene->aiTank->heading, 180.0f);
    EXPECT_EQ(scene->aiTank->id, 0);
    EXPECT_EQ(scene->playerTank->position, glm::vec3(0.0f, 0.05f, 5.0f));
    EXPECT_EQ(scene->playerTank->heading, 0.0f);
    EXPECT_EQ(scene->playerTank->id, 1);
    EXPECT_EQ(scene->aiTank->bottomMeshes, scene->playerTank->bottomMeshes);
}

TEST_F(SceneTest, ModuleObjectsExistOnceAndPointAtTheScene) {
    EXPECT_NE(bulletSystem, nullptr);
    EXPECT_EQ(aiController->tank, scene->aiTank);
    EXPECT_EQ(aiController->opponent, scene->playerTank);
    EXPECT_EQ(wallList.size(), 21u);
    EXPECT_EQ(collisionDetector->tanks, &tankList);
    EXPECT_EQ(collisionDetector->walls, &wallList);
    EXPECT_EQ(collisionDetector->particles, scene->particles);
    EXPECT_NE(backgroundQuad, nullptr);
    EXPECT_EQ(scene->finalPass->texture1, scene->sceneColorTextures[0]);
    EXPECT_EQ(scene->finalPass->texture2, scene->sceneColorTextures[1]);
}

TEST_F(SceneTest, LightComesFromTheFixedSun) {
    EXPECT_NEAR(scene->lightDirection.x, 0.5345225f, 1e-6f);
    EXPECT_NEAR(scene->lightDirection.y, 0.8017837f, 1e-6f);
    EXPECT_NEAR(scene->lightDirection.z, 0.2672612f, 1e-6f);
    EXPECT_NEAR(glm::length(scene->lightDirection), 1.0f, 1e-6f);
}

TEST_F(SceneTest, RenderTargetsAreComplete) {
    EXPECT_NE(constructionOutput.find("SM FBO created successfully\n"), std::string::npos);
    EXPECT_EQ(constructionOutput.find("ERROR SETTING UP FBO"), std::string::npos);
    EXPECT_NE(constructionOutput.find("Init particle Shaders: 0\n"), std::string::npos);

    glBindFramebuffer(GL_FRAMEBUFFER, scene->sceneFramebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER1, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT1);
    glBindFramebuffer(GL_FRAMEBUFFER, scene->shadowFramebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, scene->shadowDepthTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 4096);
    GLint compareMode = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &compareMode);
    EXPECT_EQ(compareMode, GL_COMPARE_REF_TO_TEXTURE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(SceneTest, ProgramsAreLinkedAndTheLitProgramHasItsUniforms) {
    for (GLuint program :
         {scene->lambertPhongProgram, scene->shadowProgram, scene->backgroundProgram}) {
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
    }
    EXPECT_NE(scene->uniformV, -1);
    EXPECT_NE(scene->uniformP, -1);
    EXPECT_NE(scene->uniformLightDirWorld, -1);
    for (const char* name : {"M", "alpha", "sm_light_texmat", "shadow_map", "ka", "kd", "ks",
                             "ambientColor", "diffuseColor", "specularColor", "phongPower"}) {
        EXPECT_NE(glGetUniformLocation(scene->lambertPhongProgram, name), -1) << name;
    }
    EXPECT_NE(glGetUniformLocation(scene->backgroundProgram, "scale_down"), -1);
    EXPECT_NE(glGetUniformLocation(scene->shadowProgram, "lightspace"), -1);
}

} // namespace
