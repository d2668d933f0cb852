#include "render/ScreenPass.h"

#include "platform/GlCheck.h"
#include "platform/WindowSize.h"
#include "render/PassState.h"

void ScreenPass::draw(float darken) const {
    PassState state;
    state.viewport = glm::ivec2(kWindowWidth, kWindowHeight);
    applyPassState(state);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    checkGlError("Scene::render() 6");
    background.draw();
    glClear(GL_DEPTH_BUFFER_BIT);
    finalPass.draw(darken);
    glClear(GL_DEPTH_BUFFER_BIT);
}
