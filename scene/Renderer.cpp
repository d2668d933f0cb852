#include "scene/Renderer.h"

#include "platform/GlCheck.h"
#include "render/ScreenPass.h"

namespace {
void notify(FrameObserver* observer, FramePhase phase) {
    if (observer != nullptr) {
        observer->phaseBegins(phase);
    }
}
} // namespace

Renderer::Renderer(glm::vec3 lightDirection, unsigned int particleSeed)
    : backgroundProgram(BackgroundQuad::loadProgram()), mainPass(lightDirection),
      shadowMap(lightDirection), finalPass(mainPass.colourTarget(), mainPass.glowTarget()),
      models(textures), particles(particleSeed),
      background(backgroundProgram.name(), textures[SceneTextures::kBackground]) {}

void Renderer::render(const FrameContent& frame, FrameObserver* observer) {
    notify(observer, FramePhase::Shadow);
    const glm::mat4 viewProjection = frame.projection * frame.view;
    shadowMap.render(frame.draws, shadowMap.regionSeenBy(viewProjection, frame.scene));

    notify(observer, FramePhase::Main);
    mainPass.begin(frame.view, frame.projection, frame.wireframe, shadowMap);
    checkGlError("Scene::render() 1");
    mainPass.draw(frame.draws.opaque);
    checkGlError("Scene::render() 2");
    checkGlError("Scene::render() 3");
    mainPass.blendOver();
    mainPass.draw(frame.draws.seeThrough);
    checkGlError("Scene::render() 4");
    mainPass.blendWithoutDepth();
    particles.step(frame.particleSeconds, viewProjection);
    checkGlError("After Particle Render");
    checkGlError("Scene::render() 5");

    notify(observer, FramePhase::Screen);
    drawScreenPass(background, finalPass, frame.darken);
    if (frame.radar != nullptr) {
        radarPass.draw(*frame.radar);
    }

    notify(observer, FramePhase::Text);
    text.begin();
    for (const TextLine& line : frame.texts) {
        text.draw(line.text, line.x, line.y, line.size);
    }
}
