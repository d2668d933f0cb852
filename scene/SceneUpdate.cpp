// Game flow and the per-frame update: title screen, match and end screen, the player's
// controls, the fixed order of the gameplay steps, and the camera and light uniforms.
#include "scene/Scene.h"

#include "app/GlCheck.h"
#include "app/RenderOptions.h"
#include "app/Window.h"
#include "game/AiController.h"
#include "game/BulletSystem.h"
#include "game/CollisionDetector.h"
#include "game/Tank.h"
#include "render/FinalPass.h"
#include "render/Math.h"

#include <GLFW/glfw3.h>

#include <iostream>

namespace {

constexpr float kForwardInput = -0.2f;          // speed input per frame while W is held
constexpr float kBackwardInput = 0.2f;          // speed input per frame while S is held
constexpr float kTurnDegreesPerSecond = 100.0f; // hull and turret keys
constexpr float kDimmed = 0.3f;                 // brightness behind the title and end screens
constexpr float kUndimmed = 1.0f;

bool pressed(int key) {
    return window::key(key) == GLFW_PRESS;
}

} // namespace

void Scene::update(float elapsedMs) {
    checkGlError("Scene::update() START");
    if (pressed(GLFW_KEY_ENTER)) {
        if (!started) {
            started = true;
        } else if (gameOver) {
            gameOver = false;
            restartGame();
        }
    }
    if (pressed(GLFW_KEY_L) && started) {
        gameOver = true;
    }
    applyTextureOptions();

    const float elapsedS = elapsedMs / 1000.0f;
    frameTimeMs = elapsedMs;
    if (started && !gameOver) {
        matchStep(elapsedMs, elapsedS);
    } else {
        finalPass->darken = kDimmed;
    }

    const glm::mat4 projection = projectionMatrix();
    const glm::mat4 view = viewMatrix();
    checkGlError("before setting shader arguments");
    glUseProgram(lambertPhongProgram);
    glUniformMatrix4fv(uniformV, 1, GL_FALSE, glm::value_ptr(view));
    glUniformMatrix4fv(uniformP, 1, GL_FALSE, glm::value_ptr(projection));
    glUniform3fv(uniformLightDirWorld, 1, glm::value_ptr(lightDirection));
    updateLightMatrices();
    checkGlError("Scene::update() END");
}

void Scene::matchStep(float elapsedMs, float elapsedS) {
    finalPass->darken = kUndimmed;
    aiController->update(elapsedMs, elapsedS);
    bulletSystem->updateAll(elapsedS);

    float speedInput = 0.0f;
    if (pressed(GLFW_KEY_W)) {
        speedInput = kForwardInput;
    } else if (pressed(GLFW_KEY_S)) {
        speedInput = kBackwardInput;
    }
    if (pressed(GLFW_KEY_A)) {
        playerTank->turn(kTurnDegreesPerSecond * elapsedS);
    }
    if (pressed(GLFW_KEY_D)) {
        playerTank->turn(-kTurnDegreesPerSecond * elapsedS);
    }
    const bool jump = pressed(GLFW_KEY_SPACE);
    playerTank->accelerate(speedInput);
    playerTank->update(elapsedMs, jump);

    if (pressed(GLFW_KEY_Q)) {
        playerTank->turretHeading += kTurnDegreesPerSecond * elapsedS;
    }
    if (pressed(GLFW_KEY_E)) {
        playerTank->turretHeading -= kTurnDegreesPerSecond * elapsedS;
    }
    placeCamera(playerTank->position, playerTank->turretForward());
    zoomStep();

    if (window::mouseButton(GLFW_MOUSE_BUTTON_LEFT) == GLFW_PRESS) {
        playerTank->fire();
    } else {
        playerTank->triggerHeld = false;
    }
    orbitStep();
    collisionDetector->detect();

    if (playerTank->lives < 1) {
        gameOver = true;
        resultMessage = "The AI Won";
    }
    if (aiTank->lives < 1) {
        gameOver = true;
        resultMessage = "You beat the stupid AI :)";
    }
}

void Scene::restartGame() {
    std::cout << "RESTART GAME" << std::endl;
    bulletSystem->clear();
    for (Tank* tank : {playerTank, aiTank}) {
        tank->lives = tank->initialLives;
        tank->turretHeading = tank->initialTurretHeading;
        tank->heading = tank->initialHeading;
        tank->position = tank->spawnPosition;
    }
}

// Re-applies the display options switched since the last frame to the five scene textures.
void Scene::applyTextureOptions() {
    if (samplingChanged) {
        samplingChanged = false;
        for (GLuint texture : textures) {
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                            nearestSampling ? GL_NEAREST : GL_LINEAR);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    if (mipmapChanged) {
        mipmapChanged = false;
        static constexpr GLint kMinFilters[] = {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST,
                                                GL_LINEAR_MIPMAP_LINEAR};
        for (GLuint texture : textures) {
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, kMinFilters[mipmapMode]);
            glGenerateMipmap(GL_TEXTURE_2D);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}
