#include "FloorFrame.h"

#include "app/Window.h"
#include "app/WindowSize.h"
#include "scene/Scene.h"

#include <GL/glew.h>

void renderFloorFrame(Scene& scene, FrameObserver& observer) {
    observer.phaseBegins(FramePhase::Shadow);
    glBindFramebuffer(GL_FRAMEBUFFER, scene.shadowFramebuffer);
    glClear(GL_DEPTH_BUFFER_BIT);

    observer.phaseBegins(FramePhase::Main);
    glBindFramebuffer(GL_FRAMEBUFFER, scene.sceneFramebuffer);
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    observer.phaseBegins(FramePhase::Screen);
    scene.screenPass();

    observer.phaseBegins(FramePhase::Text);
    observer.phaseBegins(FramePhase::Present);
    window::swapBuffers();
    observer.frameEnds();
}
