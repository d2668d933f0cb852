#include "FloorFrame.h"

#include "platform/WindowSize.h"
#include "scene/Scene.h"

#include <GL/glew.h>

void renderFloorFrame(Scene& scene, FrameObserver& observer) {
    observer.phaseBegins(FramePhase::Shadow);
    glBindFramebuffer(GL_FRAMEBUFFER, scene.renderer.shadowMap.framebuffer.name());
    glClear(GL_DEPTH_BUFFER_BIT);

    observer.phaseBegins(FramePhase::Main);
    glBindFramebuffer(GL_FRAMEBUFFER, scene.renderer.mainPass.framebuffer.name());
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    observer.phaseBegins(FramePhase::Screen);
    scene.renderer.screenPass.draw(scene.darken());

    observer.phaseBegins(FramePhase::Text);
    observer.phaseBegins(FramePhase::Present);
    scene.window.swapBuffers();
    observer.frameEnds();
}
