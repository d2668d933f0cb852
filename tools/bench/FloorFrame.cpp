#include "FloorFrame.h"

#include "render/PassState.h"
#include "render/ScreenPass.h"
#include "scene/Scene.h"

#include <GL/glew.h>

namespace {

// What both floor frames start with: the shadow phase clearing the whole shadow map, the main
// phase clearing both scene targets; then marks the screen phase.
void clearTargets(Scene& scene, FrameObserver& observer) {
    observer.phaseBegins(FramePhase::Shadow);
    const TexelRect map = scene.renderer.shadowMap.wholeMap();
    PassState shadow;
    shadow.framebuffer = scene.renderer.shadowMap.framebuffer.name();
    shadow.viewport = glm::ivec2(map.width, map.height);
    applyPassState(shadow);
    glClear(GL_DEPTH_BUFFER_BIT);

    observer.phaseBegins(FramePhase::Main);
    PassState main;
    main.framebuffer = scene.renderer.mainPass.framebuffer.name();
    main.viewport = scene.renderer.mainPass.size();
    applyPassState(main);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    observer.phaseBegins(FramePhase::Screen);
}

void present(Scene& scene, FrameObserver& observer) {
    observer.phaseBegins(FramePhase::Text);
    observer.phaseBegins(FramePhase::Present);
    scene.window.swapBuffers();
    observer.frameEnds();
}

} // namespace

void renderFloorFrame(Scene& scene, FrameObserver& observer) {
    clearTargets(scene, observer);
    drawScreenPass(scene.renderer.background, scene.renderer.finalPass,
                   {scene.window.framebufferSize(), true, true, scene.darken()});
    present(scene, observer);
}

void renderMandatedFloorFrame(Scene& scene, FrameObserver& observer) {
    clearTargets(scene, observer);
    PassState window;
    window.viewport = scene.window.framebufferSize();
    applyPassState(window);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    present(scene, observer);
}
