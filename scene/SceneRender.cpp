// One frame: the shadow pass, the lit main pass into the two-target scene framebuffer, the
// screen pass over the background picture, the texts, and the buffer swap.
#include "scene/Scene.h"

#include "app/FrameClock.h"
#include "app/GlCheck.h"
#include "app/RenderOptions.h"
#include "app/Window.h"
#include "app/WindowSize.h"
#include "game/Arena.h"
#include "game/ArenaPiece.h"
#include "game/Bullet.h"
#include "game/BulletSystem.h"
#include "game/Tank.h"
#include "particles/ParticleEffects.h"
#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"
#include "render/Math.h"
#include "render/TextRenderer.h"

#include <sstream>
#include <string>

namespace {

constexpr GLint kShadowMapUnit = 1;

struct TextLine {
    int x;
    int y;
    int size;
};
constexpr TextLine kFrameRateLine{0, 740, 30};
constexpr TextLine kHeadline{200, 450, 75};
constexpr TextLine kPressEnterToStart{130, 380, 50};
constexpr TextLine kEndHeadline{200, 490, 75};
constexpr TextLine kResultLine{130, 440, 50};
constexpr TextLine kRetryLine{130, 320, 50};
constexpr TextLine kQuitLine{130, 260, 50};
constexpr TextLine kLivesLine{10, 10, 50};

void draw(const std::string& text, const TextLine& line) {
    drawText(text.c_str(), line.x, line.y, line.size);
}

} // namespace

void Scene::render() {
    const double frameRate = framesPerSecond;
    notifyPhase(FramePhase::Shadow);
    shadowPass();
    notifyPhase(FramePhase::Main);
    mainPass();
    notifyPhase(FramePhase::Screen);
    screenPass();
    notifyPhase(FramePhase::Text);
    drawTexts(frameRate);
    notifyPhase(FramePhase::Present);
    window::swapBuffers();
    if (frameObserver != nullptr) {
        frameObserver->frameEnds();
    }
    checkGlError("Scene::render() END");
}

void Scene::notifyPhase(FramePhase phase) {
    if (frameObserver != nullptr) {
        frameObserver->phaseBegins(phase);
    }
}

void Scene::mainPass() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    // Coverage accumulates as "over": a see-through tank or a spark in front of a wall must
    // not let the sky through the wall in the screen pass.
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    glUseProgram(lambertPhongProgram);
    glUniform1i(glGetUniformLocation(lambertPhongProgram, "shadow_map"), kShadowMapUnit);
    glActiveTexture(GL_TEXTURE0 + kShadowMapUnit);
    glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
    glActiveTexture(GL_TEXTURE0);
    checkGlError("Scene::render() 1");

    for (ArenaPiece* piece : wallList) {
        piece->draw();
    }
    checkGlError("Scene::render() 2");
    checkGlError("Scene::render() 3");

    glUseProgram(bulletSystem->program);
    bulletSystem->material.apply(bulletSystem->program);
    for (Bullet* bullet : bulletSystem->bullets) {
        bullet->draw();
    }
    checkGlError("Scene::render() 4");

    const glm::mat4 viewProjection = projectionMatrix() * viewMatrix();
    particles->step(static_cast<int>(frameTimeMs), viewProjection);
    checkGlError("After Particle Render");

    glUseProgram(lambertPhongProgram);
    aiTank->draw();
    playerTank->draw();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    checkGlError("Scene::render() 5");
}

void Scene::screenPass() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    checkGlError("Scene::render() 6");
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    glUseProgram(backgroundProgram);
    glUniform2f(glGetUniformLocation(backgroundProgram, "scale_down"), 1.0f, 1.0f);
    backgroundQuad->draw();
    glClear(GL_DEPTH_BUFFER_BIT);
    finalPass->draw();
    glClear(GL_DEPTH_BUFFER_BIT);
}

void Scene::drawTexts(double frameRate) {
    if (showFrameRate) {
        std::ostringstream line;
        line << "FPS: " << frameRate;
        draw(line.str(), kFrameRateLine);
    }
    if (!started) {
        draw("BRAKKEL", kHeadline);
        draw("Press ENTER to start!", kPressEnterToStart);
    } else if (gameOver) {
        draw(aiTank->lives < 1 ? "YOU WON!" : "GAME OVER", kEndHeadline);
        draw(resultMessage, kResultLine);
        draw("Press ENTER to retry!", kRetryLine);
        draw("Press ESC to quit!", kQuitLine);
    } else {
        draw("Lives:  Player:" + std::to_string(playerTank->lives) +
                 " Enemy:" + std::to_string(aiTank->lives),
             kLivesLine);
    }
}
