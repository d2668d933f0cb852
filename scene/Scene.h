#pragma once

#include "scene/FrameObserver.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <string>
#include <vector>

class Arena;
class FinalPass;
class ParticleEffects;
class Tank;

// The whole game: it loads every asset, creates every entity, runs the game flow and the
// per-frame update, and draws each frame with its shadow map and chase camera. Exactly one
// exists, from after the GL set-up until before the window library ends.
class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Advances the game by one frame of elapsedMs milliseconds and prepares the camera and
    // light uniforms for render.
    void update(float elapsedMs);
    // Draws one frame (shadow pass, main pass, screen pass, texts) and presents it,
    // telling frameObserver, when set, where each phase begins and when the frame ends.
    void render();
    // Starts a new match: both tanks back at their start with full lives, no bullets.
    void restartGame();

    // Chase camera: hangs behind the turret of the tank at p looking along t.
    void placeCamera(glm::vec3 p, glm::vec3 t);
    // Mouse wheel to camera distance; very close, the player's tank turns see-through.
    void zoomStep();
    // Right-button drag to camera yaw and pitch.
    void orbitStep();
    // The camera's projection: 45 degrees vertically over the 4:3 window.
    glm::mat4 projectionMatrix() const;
    // The camera's view matrix; a fixed overview of the arena while eye and target coincide.
    glm::mat4 viewMatrix() const;
    // Recomputes the light's matrices and uploads the shadow lookup matrix to the lit program.
    void updateLightMatrices();
    // Composes the scene targets over the background picture in the window. Part of render;
    // the frame benchmark's floor frame runs it alone.
    void screenPass();

    bool started = false;
    bool gameOver = false;
    std::string resultMessage;
    float frameTimeMs = 0.0f;
    GLuint sceneFramebuffer = 0;
    GLuint shadowFramebuffer = 0;
    GLuint shadowDepthTexture = 0;
    GLuint shadowProgram = 0;
    GLuint sceneDepthRenderbuffer = 0;
    GLuint sceneColorTextures[2] = {0, 0};
    FinalPass* finalPass = nullptr;
    GLuint lambertPhongProgram = 0;
    GLint uniformV = -1;
    GLint uniformP = -1;
    GLint uniformLightDirWorld = -1;
    GLuint backgroundProgram = 0;
    std::vector<GLuint> textures;
    GLuint defaultTexture = 0;
    GLuint groundTexture = 0;
    GLuint camouflageTexture = 0;
    GLuint wallTexture = 0;
    GLuint backgroundTexture = 0;
    float cameraDistance = 10.0f;
    float cameraYaw = 0.0f;
    float cameraPitch = 30.0f;
    glm::vec3 cameraEye{0.0f};
    glm::vec3 cameraUp{0.0f, 1.0f, 0.0f};
    glm::vec3 cameraTarget{0.0f};
    glm::vec3 lightDirection{0.0f};
    glm::mat4 lightSpaceMatrix{1.0f};
    glm::mat4 shadowTextureMatrix{1.0f};
    Tank* playerTank = nullptr;
    Tank* aiTank = nullptr;
    Arena* arena = nullptr;
    ParticleEffects* particles = nullptr;
    // Told about each phase of render when set; not owned.
    FrameObserver* frameObserver = nullptr;

private:
    void createShadowTarget();
    void createSceneTarget();
    void applyTextureOptions();
    void notifyPhase(FramePhase phase);
    void matchStep(float elapsedMs, float elapsedS);
    void shadowPass();
    void mainPass();
    void drawTexts(double frameRate);
};
