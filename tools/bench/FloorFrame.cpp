#include "FloorFrame.h"

#include "platform/WindowSize.h"
#include "render/PassState.h"
#include "render/ShadowMap.h"
#include "scene/Scene.h"

#include <GL/glew.h>

namespace {

// Clears the whole shadow map.
void clearShadowMap(Scene& scene) {
    PassState shadow;
    shadow.framebuffer = scene.renderer.shadowMap.framebuffer.name();
    shadow.viewport = glm::ivec2(ShadowMap::kSize);
    applyPassState(shadow);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void clearSceneTargets(Scene& scene) {
    PassState main;
    main.framebuffer = scene.renderer.mainPass.framebuffer.name();
    main.viewport = glm::ivec2(kWindowWidth, kWindowHeight);
    applyPassState(main);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void present(Scene& scene, FrameObserver& observer) {
    observer.phaseBegins(FramePhase::Text);
    observer.phaseBegins(FramePhase::Present);
    scene.window.swapBuffers();
    observer.frameEnds();
}

} // namespace

void renderFloorFrame(Scene& scene, FrameObserver& observer) {
    observer.phaseBegins(FramePhase::Shadow);
    clearShadowMap(scene);
    observer.phaseBegins(FramePhase::Main);
    clearSceneTargets(scene);
    observer.phaseBegins(FramePhase::Screen);
    scene.renderer.screenPass.draw(scene.darken());
    present(scene, observer);
}

void renderMandatedFloorFrame(Scene& scene, FrameObserver& observer) {
    observer.phaseBegins(FramePhase::Shadow);
    clearShadowMap(scene);
    observer.phaseBegins(FramePhase::Main);
    clearSceneTargets(scene);
    observer.phaseBegins(FramePhase::Screen);
    PassState window;
    window.viewport = glm::ivec2(kWindowWidth, kWindowHeight);
    applyPassState(window);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    present(scene, observer);
}
