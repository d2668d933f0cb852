// The screens of the game and the player's controls, through the real window input.
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

TEST_F(SceneTest, TitleScreenDimsAndFreezesTheGame) {
    frame();
    EXPECT_FALSE((scene->client.flow->phase() != Phase::Title));
    EXPECT_EQ(scene->darken(), 0.3f);
    EXPECT_EQ(player().position, glm::vec3(0.0f, 0.05f, 5.0f));
}

TEST_F(SceneTest, HoldingEnterStartsTheMatchOnceAndNothingMore) {
    press(keys::kEnter);
    CaptureStdout();
    for (int i = 0; i < 5; ++i) {
        frame();
    }
    const std::string out = GetCapturedStdout();
    release(keys::kEnter);
    EXPECT_TRUE((scene->client.flow->phase() != Phase::Title));
    EXPECT_FALSE((scene->client.flow->phase() == Phase::Ended));
    EXPECT_EQ(scene->darken(), 1.0f);
    EXPECT_EQ(out.find("RESTART GAME"), std::string::npos);
}

TEST_F(SceneTest, LEndsTheMatchWithThePreviousMessage) {
    tap(keys::kEnter);
    frame();
    tap(keys::kL);
    frame();
    EXPECT_TRUE((scene->client.flow->phase() == Phase::Ended));
    EXPECT_STREQ(scene->client.resultLine(), "");
    EXPECT_EQ(scene->darken(), 0.3f);
}

TEST_F(SceneTest, LOnTheTitleScreenDoesNothing) {
    tap(keys::kL);
    frame();
    EXPECT_FALSE((scene->client.flow->phase() == Phase::Ended));
}

TEST_F(SceneTest, BothTanksOutInOneStepIsAWin) {
    tap(keys::kEnter);
    frame();
    player().lives = 0;
    computer().lives = 0;
    frame();
    EXPECT_TRUE((scene->client.flow->phase() == Phase::Ended));
    EXPECT_STREQ(scene->client.resultLine(), "You beat the stupid AI :)");
    EXPECT_EQ(scene->client.events.back().type, GameEventType::MatchWon);
}

TEST_F(SceneTest, PlayerOutIsALoss) {
    tap(keys::kEnter);
    frame();
    player().lives = 0;
    frame();
    EXPECT_TRUE((scene->client.flow->phase() == Phase::Ended));
    EXPECT_STREQ(scene->client.resultLine(), "The AI Won");
    EXPECT_EQ(scene->client.events.back().type, GameEventType::MatchLost);
}

TEST_F(SceneTest, RestartResetsPlacesAndLivesButKeepsSpeeds) {
    tap(keys::kEnter);
    frame();
    Tank& tank = player();
    tank.position = glm::vec3(3.0f, 0.07f, 2.0f);
    tank.heading = 42.0f;
    tank.turretHeading = 17.0f;
    tank.lives = 0;
    tank.speed = -1.5f;
    match().state.bullets.spawn(glm::vec3(0, 0, -1), glm::vec3(0, 0.1f, 0), 20.0f, 10.0f,
                                glm::vec3(0, 0.1f, 0), GameClient::kPlayerSeat, 0);
    frame();
    ASSERT_TRUE((scene->client.flow->phase() == Phase::Ended));

    CaptureStdout();
    tap(keys::kEnter);
    step();
    EXPECT_EQ(GetCapturedStdout(), "RESTART GAME\n");
    EXPECT_FALSE((scene->client.flow->phase() == Phase::Ended));
    EXPECT_EQ(tank.lives, 5);
    EXPECT_EQ(tank.heading, 0.0f);
    EXPECT_EQ(tank.turretHeading, 0.0f);
    EXPECT_EQ(computer().heading, 180.0f);
    EXPECT_TRUE(match().state.bullets.bullets.empty());
    // The match step of the same update has moved the tank by its kept speed.
    EXPECT_NE(tank.speed, 0.0f);
}

TEST_F(SceneTest, DrivingKeysMoveThePlayer) {
    tap(keys::kEnter);
    frame();
    Tank& tank = player();
    press(keys::kW);
    frame();
    EXPECT_NEAR(tank.speed, -0.19f, 1e-6f);
    frame();
    EXPECT_NEAR(tank.speed, -0.38f, 1e-6f);
    release(keys::kW);
    press(keys::kA);
    step(6); // a tenth of a second
    release(keys::kA);
    EXPECT_NEAR(tank.heading, 10.0f, 1e-4f);
    EXPECT_NEAR(tank.turretHeading, 10.0f, 1e-4f);
    press(keys::kE);
    step(6);
    release(keys::kE);
    EXPECT_NEAR(tank.heading, 10.0f, 1e-4f);
    EXPECT_NEAR(tank.turretHeading, 0.0f, 1e-4f);
}

TEST_F(SceneTest, AKeyTappedBetweenTwoStepsTurnsForExactlyOneStep) {
    tap(keys::kEnter);
    frame();
    tap(keys::kD);
    step(3);
    EXPECT_NEAR(player().heading, -100.0f / 60.0f, 1e-4f);
}

// A click shorter than a frame, between two reads of the window's input, fires one bullet; a
// held button fires once.
TEST_F(SceneTest, OneClickFiresOneBullet) {
    tap(keys::kEnter);
    frame();
    int shots = 0;
    const auto countedFrame = [&] {
        frame();
        for (const GameEvent& event : scene->client.events) {
            shots += event.type == GameEventType::Shot;
        }
    };
    click();
    countedFrame();
    countedFrame();
    EXPECT_EQ(shots, 1);
    window().injectButton(buttons::kLeft, KeyAction::Press);
    countedFrame();
    countedFrame();
    window().injectButton(buttons::kLeft, KeyAction::Release);
    countedFrame();
    EXPECT_EQ(shots, 2);
}

TEST_F(SceneTest, OptionKeysPrintTheirLinesOnRelease) {
    CaptureStdout();
    press(keys::kF2);
    EXPECT_FALSE(scene->options.showFrameRate);
    release(keys::kF2);
    tap(keys::kF3);
    tap(keys::kF4);
    tap(keys::kF4);
    tap(keys::kF5);
    tap(keys::kF5);
    tap(keys::kF5);
    EXPECT_TRUE(scene->options.showRadar) << "on from the start";
    tap(keys::kF6);
    EXPECT_FALSE(scene->options.showRadar);
    tap(keys::kF6);
    EXPECT_EQ(GetCapturedStdout(),
              "Toggle FrameRate\nToggle WireFrame\n"
              "Textur-Sampling-Quality: Nearest Neighbor\nTextur-Sampling-Quality: Bilinear\n"
              "Using Mip Maps: nearest neighbour\nUsing Mip Maps: linear\nMip Maps disabled\n"
              "Radar off\nRadar on\n");
    EXPECT_TRUE(scene->options.showFrameRate);
    EXPECT_TRUE(scene->options.wireframe);
    EXPECT_TRUE(scene->options.showRadar);
    frame();
}

// F11 changes a setting that lasts, and the scene carries the settings out again: the radar
// F6 hid stays hidden, and one F6 showed stays shown.
TEST_F(SceneTest, F11KeepsTheRadarAsF6LeftIt) {
    tap(keys::kEnter);
    frame();
    for (const bool shown : {false, true}) {
        tap(keys::kF6);
        ASSERT_EQ(scene->options.showRadar, shown);
        tap(keys::kF11);
        frame();
        EXPECT_TRUE(scene->client.settings.fullscreen);
        EXPECT_EQ(scene->options.showRadar, shown) << "fullscreen";
        tap(keys::kF11);
        frame();
        EXPECT_FALSE(scene->client.settings.fullscreen);
        EXPECT_EQ(scene->options.showRadar, shown) << "back in the window";
    }
    EXPECT_TRUE(scene->client.settings.radar) << "F6 does not change the setting";
}

TEST_F(SceneTest, TextureOptionsApplyToTheFiveSceneTexturesOnly) {
    const GLuint other = scene->renderer.models.arenaWallTexture.name();
    tap(keys::kF4);
    tap(keys::kF5);
    frame();
    const auto parameter = [](GLuint texture, GLenum name) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    };
    ASSERT_EQ(scene->renderer.textures.textures.size(), 5u);
    for (const Texture& texture : scene->renderer.textures.textures) {
        EXPECT_EQ(parameter(texture.name(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
        EXPECT_EQ(parameter(texture.name(), GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_NEAREST);
    }
    EXPECT_EQ(parameter(other, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(other, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_FALSE(scene->options.samplingChanged);
    EXPECT_FALSE(scene->options.mipmapChanged);

    tap(keys::kF5);
    tap(keys::kF5); // back to off: GL_NEAREST, magnification untouched
    frame();
    for (const Texture& texture : scene->renderer.textures.textures) {
        EXPECT_EQ(parameter(texture.name(), GL_TEXTURE_MIN_FILTER), GL_NEAREST);
        EXPECT_EQ(parameter(texture.name(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(SceneTest, HitsBecomeConsoleLinesAndParticleBursts) {
    tap(keys::kEnter);
    frame();
    // A shot from right behind the centre block's middle: the block takes it.
    Tank& tank = player();
    tank.position = glm::vec3(0.0f, 0.045f, 3.0f);
    tank.updateTransform();
    click();
    CaptureStdout();
    step(20);
    GetCapturedStdout();
    int live = 0;
    for (const ParticleSystem& burst : scene->renderer.particles.systems) {
        live += burst.live() ? 1 : 0;
    }
    EXPECT_EQ(live, 1);
    EXPECT_EQ(scene->renderer.particles.nextSystem, 1);
}

} // namespace
