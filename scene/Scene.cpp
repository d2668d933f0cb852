#include "scene/Scene.h"

#include "app/GlCheck.h"
#include "app/RenderOptions.h"
#include "app/Window.h"
#include "app/WindowSize.h"
#include "game/AiController.h"
#include "game/Arena.h"
#include "game/ArenaPiece.h"
#include "game/BulletSystem.h"
#include "game/CollisionDetector.h"
#include "game/Tank.h"
#include "particles/ParticleEffects.h"
#include "render/AssetPaths.h"
#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"
#include "render/Mesh.h"
#include "render/ModelLoader.h"
#include "render/ShaderLoader.h"
#include "render/TextRenderer.h"
#include "render/TextureLoader.h"

#include <cmath>
#include <iostream>
#include <string>

namespace {

struct TankStart {
    glm::vec3 position;
    float heading; // degrees
};
constexpr TankStart kAiTankStart{{0.0f, 0.05f, -5.0f}, 180.0f};
constexpr TankStart kPlayerTankStart{{0.0f, 0.05f, 5.0f}, 0.0f};

constexpr GLenum kSceneDrawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};

GLuint loadSceneTexture(const char* name) {
    return loadTexture((std::string(kTextureDir) + name).c_str());
}

GLuint loadProgram(const char* vertexName, const char* fragmentName) {
    return loadShaders(std::string(kShaderDir) + vertexName,
                       std::string(kShaderDir) + fragmentName);
}

std::vector<Mesh*> loadMeshes(const char* name, GLuint program, GLuint texture) {
    std::vector<Mesh*> meshes;
    loadModel(std::string(kModelDir) + name, program, texture, meshes);
    return meshes;
}

Tank* makeTank(GLuint program, const TankStart& start, const std::vector<Mesh*>& bottom,
               const std::vector<Mesh*>& top) {
    return new Tank(bulletSystem, program, start.position.x, start.position.y, start.position.z,
                    start.heading, bottom, top);
}

} // namespace

Scene::Scene() {
    const float f = 1.0f / std::sqrt(14.0f);
    lightDirection = glm::vec3(2.0f * f, 3.0f * f, f);

    window::setKeyCallback(onRenderOptionKey);
    started = false;
    gameOver = false;
    showFrameRate = false;
    checkGlError("before init scene");

    initText();

    const auto loadListed = [this](const char* name) {
        const GLuint texture = loadSceneTexture(name);
        textures.push_back(texture);
        return texture;
    };
    defaultTexture = loadListed("default.tga");
    groundTexture = loadListed("ground2.tga");
    camouflageTexture = loadListed("camouflage.tga");
    wallTexture = loadListed("wall1.tga");
    backgroundTexture = loadListed("day.tga");

    backgroundProgram = loadProgram("background.vert", "background.frag");
    lambertPhongProgram = loadProgram("lambertphong.vert", "lambertphong.frag");
    shadowProgram = loadProgram("shadow.vert", "shadow.frag");
    uniformV = glGetUniformLocation(lambertPhongProgram, "V");
    uniformP = glGetUniformLocation(lambertPhongProgram, "P");
    uniformLightDirWorld = glGetUniformLocation(lambertPhongProgram, "lightdir_world");

    createShadowTarget();
    createSceneTarget();
    finalPass = new FinalPass(sceneColorTextures[0], sceneColorTextures[1]);

    bulletSystem = new BulletSystem(lambertPhongProgram,
                                    loadMeshes("bullet.obj", lambertPhongProgram, wallTexture));
    const std::vector<Mesh*> bottomMeshes =
        loadMeshes("tank_bottom.obj", lambertPhongProgram, camouflageTexture);
    const std::vector<Mesh*> topMeshes =
        loadMeshes("tank_top.obj", lambertPhongProgram, camouflageTexture);
    aiTank = makeTank(lambertPhongProgram, kAiTankStart, bottomMeshes, topMeshes);
    playerTank = makeTank(lambertPhongProgram, kPlayerTankStart, bottomMeshes, topMeshes);

    aiController = new AiController(aiTank, playerTank);

    wallList.clear();
    tankList = {playerTank, aiTank};

    arena = new Arena(&wallList, lambertPhongProgram);
    arena->build();
    particles = new ParticleEffects();
    collisionDetector = new CollisionDetector(&tankList, &wallList, bulletSystem, particles);
    backgroundQuad = new BackgroundQuad(backgroundProgram, backgroundTexture);
}

void Scene::createSceneTarget() {
    glGenFramebuffers(1, &sceneFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);

    glGenRenderbuffers(1, &sceneDepthRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, sceneDepthRenderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, kWindowWidth, kWindowHeight);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              sceneDepthRenderbuffer);

    for (int index = 0; index < 2; ++index) {
        GLuint& texture = sceneColorTextures[index];
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kWindowWidth, kWindowHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glFramebufferTexture2D(GL_FRAMEBUFFER, kSceneDrawBuffers[index], GL_TEXTURE_2D, texture, 0);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDrawBuffers(2, kSceneDrawBuffers);

    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "ERROR SETTING UP FBO, NOT FINISHED!" << std::endl;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The shadow target, the arena, the particle effects and the collision detector stay until
// the process ends.
Scene::~Scene() {
    delete playerTank;
    delete aiTank;
    playerTank = aiTank = nullptr;
    delete backgroundQuad;
    backgroundQuad = nullptr;
    delete bulletSystem;
    bulletSystem = nullptr;
    delete finalPass;
    delete aiController;
    aiController = nullptr;

    glDeleteFramebuffers(1, &sceneFramebuffer);
    glDeleteRenderbuffers(1, &sceneDepthRenderbuffer);
    for (GLuint texture : sceneColorTextures) {
        glDeleteTextures(1, &texture);
    }
    for (GLuint texture : textures) {
        glDeleteTextures(1, &texture);
    }
    glDeleteProgram(lambertPhongProgram);
    glDeleteProgram(shadowProgram);
    cleanupText();
}
