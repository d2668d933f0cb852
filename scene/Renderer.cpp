#include "scene/Renderer.h"

#include "platform/GlCheck.h"
#include "platform/WindowSize.h"
#include "render/PassState.h"

namespace {
void notify(FrameObserver* observer, FramePhase phase) {
    if (observer != nullptr) {
        observer->phaseBegins(phase);
    }
}
} // namespace

Renderer::Renderer(glm::vec3 lightDirection, GLuint backgroundPicture, unsigned int particleSeed)
    : lightDirection(lightDirection), shadowMap(lightDirection), particles(particleSeed),
      screenPass(backgroundPicture, mainPass.colourTarget(), mainPass.glowTarget()) {}

void Renderer::render(const FrameContent& frame, FrameObserver* observer) {
    notify(observer, FramePhase::Shadow);
    shadowMap.render(frame.draws);

    notify(observer, FramePhase::Main);
    mainPass.begin(frame.view, frame.projection, lightDirection, shadowMap, frame.wireframe);
    checkGlError("Scene::render() 1");
    mainPass.draw(frame.draws.world);
    checkGlError("Scene::render() 2");
    particles.step(frame.particleSeconds, frame.projection * frame.view);
    checkGlError("After Particle Render");
    mainPass.draw(frame.draws.tanks);
    checkGlError("Scene::render() 5");

    notify(observer, FramePhase::Screen);
    screenPass.draw(frame.darken);

    notify(observer, FramePhase::Text);
    PassState textState;
    textState.viewport = glm::ivec2(kWindowWidth, kWindowHeight);
    applyPassState(textState);
    for (const TextLine& line : frame.texts) {
        text.draw(line.text, line.x, line.y, line.size);
    }
}
