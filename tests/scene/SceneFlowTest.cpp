#include "support/SceneFixture.h"

#include "app/RenderOptions.h"
#include "app/Window.h"
#include "game/BulletSystem.h"
#include "game/Tank.h"
#include "render/FinalPass.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

TEST_F(SceneTest, TitleScreenDimsAndFreezesTheGame) {
    frame();
    EXPECT_FALSE(scene->started);
    EXPECT_EQ(scene->finalPass->darken, 0.3f);
    EXPECT_EQ(scene->playerTank->position, glm::vec3(0.0f, 0.05f, 5.0f));
}

TEST_F(SceneTest, HoldingEnterStartsTheMatchOnceAndNothingMore) {
    window::injectKey(GLFW_KEY_ENTER, GLFW_PRESS);
    CaptureStdout();
    for (int i = 0; i < 5; ++i) {
        frame();
    }
    const std::string out = GetCapturedStdout();
    window::injectKey(GLFW_KEY_ENTER, GLFW_RELEASE);
    EXPECT_TRUE(scene->started);
    EXPECT_FALSE(scene->gameOver);
    EXPECT_EQ(scene->finalPass->darken, 1.0f);
    EXPECT_EQ(out.find("RESTART GAME"), std::string::npos);
}

TEST_F(SceneTest, LEndsTheMatchWithThePreviousMessage) {
    tap(GLFW_KEY_ENTER);
    frame();
    tap(GLFW_KEY_L);
    frame();
    EXPECT_TRUE(scene->gameOver);
    EXPECT_EQ(scene->resultMessage, "");
    EXPECT_EQ(scene->finalPass->darken, 0.3f);
}

TEST_F(SceneTest, LOnTheTitleScreenDoesNothing) {
    tap(GLFW_KEY_L);
    frame();
    EXPECT_FALSE(scene->gameOver);
}

TEST_F(SceneTest, BothTanksOutInOneFrameIsAWin) {
    tap(GLFW_KEY_ENTER);
    frame();
    scene->playerTank->lives = 0;
    scene->aiTank->lives = 0;
    frame();
    EXPECT_TRUE(scene->gameOver);
    EXPECT_EQ(scene->resultMessage, "You beat the stupid AI :)");
}

TEST_F(SceneTest, PlayerOutIsALoss) {
    tap(GLFW_KEY_ENTER);
    frame();
    scene->playerTank->lives = 0;
    frame();
    EXPECT_TRUE(scene->gameOver);
    EXPECT_EQ(scene->resultMessage, "The AI Won");
}

TEST_F(SceneTest, RestartResetsPlacesAndLivesButKeepsSpeeds) {
    tap(GLFW_KEY_ENTER);
    frame();
    scene->playerTank->position = glm::vec3(3.0f, 0.07f, 2.0f);
    scene->playerTank->heading = 42.0f;
    scene->playerTank->turretHeading = 17.0f;
    scene->playerTank->lives = 0;
    scene->playerTank->speed = -1.5f;
    bulletSystem->spawn(glm::vec3(0, 0, -1), glm::vec3(0, 0.1f, 0), 20.0f, 10.0f);
    frame();
    ASSERT_TRUE(scene->gameOver);

    CaptureStdout();
    tap(GLFW_KEY_ENTER);
    scene->update(16.0f);
    EXPECT_EQ(GetCapturedStdout(), "RESTART GAME\n");
    EXPECT_FALSE(scene->gameOver);
    EXPECT_EQ(scene->playerTank->lives, 5);
    EXPECT_EQ(scene->playerTank->heading, 0.0f);
    EXPECT_EQ(scene->playerTank->turretHeading, 0.0f);
    EXPECT_EQ(scene->aiTank->heading, 180.0f);
    EXPECT_TRUE(bulletSystem->bullets.empty());
    // The match step of the same frame has moved the tank by its kept speed.
    EXPECT_NE(scene->playerTank->speed, 0.0f);
}

TEST_F(SceneTest, DrivingKeysMoveThePlayer) {
    tap(GLFW_KEY_ENTER);
    frame();
    window::injectKey(GLFW_KEY_W, GLFW_PRESS);
    frame();
    EXPECT_NEAR(scene->playerTank->speed, -0.19f, 1e-6f);
    frame();
    EXPECT_NEAR(scene->playerTank->speed, -0.38f, 1e-6f);
    release(GLFW_KEY_W);
    window::injectKey(GLFW_KEY_A, GLFW_PRESS);
    frame(100.0f);
    release(GLFW_KEY_A);
    EXPECT_NEAR(scene->playerTank->heading, 10.0f, 1e-4f);
    EXPECT_NEAR(scene->playerTank->turretHeading, 10.0f, 1e-4f);
    window::injectKey(GLFW_KEY_E, GLFW_PRESS);
    frame(100.0f);
    release(GLFW_KEY_E);
    EXPECT_NEAR(scene->playerTank->heading, 10.0f, 1e-4f);
    EXPECT_NEAR(scene->playerTank->turretHeading, 0.0f, 1e-4f);
}

TEST_F(SceneTest, AKeyReleasedBeforeAnyFrameSawItStillCountsOnce) {
    tap(GLFW_KEY_ENTER);
    frame();
    tap(GLFW_KEY_D);
    frame(100.0f);
    frame(100.0f);
    EXPECT_NEAR(scene->playerTank->heading, -10.0f, 1e-4f);
}

TEST_F(SceneTest, OneClickFiresOneBullet) {
    tap(GLFW_KEY_ENTER);
    frame();
    window::injectMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    frame();
    frame();
    EXPECT_EQ(bulletSystem->bullets.size(), 1u);
    window::injectMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
    frame();
    window::injectMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    frame();
    window::injectMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
    EXPECT_EQ(bulletSystem->bullets.size(), 2u);
}

TEST_F(SceneTest, OptionKeysPrintTheirLinesOnRelease) {
    CaptureStdout();
    window::injectKey(GLFW_KEY_F2, GLFW_PRESS);
    EXPECT_FALSE(showFrameRate);
    window::injectKey(GLFW_KEY_F2, GLFW_RELEASE);
    tap(GLFW_KEY_F3);
    tap(GLFW_KEY_F4);
    tap(GLFW_KEY_F4);
    tap(GLFW_KEY_F5);
    tap(GLFW_KEY_F5);
    tap(GLFW_KEY_F5);
    EXPECT_EQ(GetCapturedStdout(),
              "Toggle FrameRate\nToggle WireFrame\n"
              "Textur-Sampling-Quality: Nearest Neighbor\nTextur-Sampling-Quality: Bilinear\n"
              "Using Mip Maps: nearest neighbour\nUsing Mip Maps: linear\nMip Maps disabled\n");
    EXPECT_TRUE(showFrameRate);
    EXPECT_TRUE(wireframe);
    frame();
}

TEST_F(SceneTest, TextureOptionsApplyToTheFiveSceneTexturesOnly) {
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);

    tap(GLFW_KEY_F4);
    tap(GLFW_KEY_F5);
    scene->update(16.0f);
    const auto parameter = [](GLuint texture, GLenum name) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    };
    for (GLuint texture : scene->textures) {
        EXPECT_EQ(parameter(texture, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
        EXPECT_EQ(parameter(texture, GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_NEAREST);
    }
    EXPECT_EQ(parameter(other, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(other, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_FALSE(samplingChanged);
    EXPECT_FALSE(mipmapChanged);

    tap(GLFW_KEY_F5);
    tap(GLFW_KEY_F5); // back to off: GL_NEAREST, magnification untouched
    scene->update(16.0f);
    for (GLuint texture : scene->textures) {
        EXPECT_EQ(parameter(texture, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
        EXPECT_EQ(parameter(texture, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &other);
}

} // namespace
