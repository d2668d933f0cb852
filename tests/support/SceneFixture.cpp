#include "support/SceneFixture.h"

#include "app/RenderOptions.h"
#include "app/Window.h"
#include "game/Arena.h"
#include "game/ArenaPiece.h"
#include "game/CollisionDetector.h"
#include "game/Tank.h"
#include "particles/ParticleEffects.h"
#include "render/Mesh.h"

#include <GLFW/glfw3.h>

void SceneTest::SetUp() {
    GlTest::SetUp();
    window::enableStickyKeys();
    tanksCreated = 0;
    tankMeshesReleased = false;
    testing::internal::CaptureStdout();
    scene = std::make_unique<Scene>();
    constructionOutput = testing::internal::GetCapturedStdout();
}

// The game keeps the arena, the particle effects, the collision detector and the shadow target
// until the process ends; a test process builds many games, so it releases them itself.
static void releaseProcessLifetimeObjects(Scene& game) {
    delete collisionDetector;
    collisionDetector = nullptr;
    delete game.particles;
    for (ArenaPiece* piece : wallList) {
        delete piece;
    }
    wallList.clear();
    for (Mesh* mesh : game.arena->wallMeshes) {
        delete mesh;
    }
    for (Mesh* mesh : game.arena->groundMeshes) {
        delete mesh;
    }
    glDeleteTextures(1, &game.arena->groundTexture);
    glDeleteTextures(1, &game.arena->wallTexture);
    delete game.arena;
    glDeleteFramebuffers(1, &game.shadowFramebuffer);
    glDeleteTextures(1, &game.shadowDepthTexture);
    glDeleteProgram(game.backgroundProgram);
}

void SceneTest::TearDown() {
    releaseProcessLifetimeObjects(*scene);
    scene.reset();
    window::setKeyCallback(nullptr);
    showFrameRate = wireframe = nearestSampling = samplingChanged = mipmapChanged = false;
    mipmapMode = 0;
}

void SceneTest::frame(float elapsedMs) {
    scene->update(elapsedMs);
    scene->render();
}

void SceneTest::tap(int key) {
    window::injectKey(key, GLFW_PRESS);
    window::injectKey(key, GLFW_RELEASE);
}

void SceneTest::release(int key) {
    window::injectKey(key, GLFW_RELEASE);
    window::key(key);
}
