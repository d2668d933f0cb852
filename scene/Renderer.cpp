#include "scene/Renderer.h"

#include "platform/GlCheck.h"
#include "render/ScreenPass.h"

#include <cmath>

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

void Renderer::setView(glm::ivec2 window, const RenderQuality& wanted) {
    particles.sparksPerBurst =
        static_cast<int>(std::lround(wanted.sparkShare * static_cast<float>(kParticlesPerBurst)));
    if (window == windowSize && wanted.scale == quality.scale &&
        wanted.shadowMapTexels == quality.shadowMapTexels &&
        wanted.backgroundInScene == quality.backgroundInScene) {
        quality = wanted;
        return;
    }
    windowSize = window;
    quality = wanted;
    if (!drawable()) {
        return;
    }
    const glm::ivec2 target =
        glm::max(glm::ivec2(glm::round(glm::vec2(window) * quality.scale)), glm::ivec2(1));
    mainPass.resize(target, target != window);
    shadowMap.resize(quality.shadowMapTexels);
    text.setWindowSize(window);
    backgroundChanged();
}

void Renderer::backgroundChanged() {
    backgroundCopy.redraw(background, quality.backgroundInScene ? mainPass.size() : glm::ivec2(0));
}

void Renderer::render(const FrameContent& frame, FrameObserver* observer) {
    if (!drawable()) {
        return;
    }
    notify(observer, FramePhase::Shadow);
    const glm::mat4 viewProjection = frame.projection * frame.view;
    shadowMap.render(frame.draws, shadowMap.regionSeenBy(viewProjection, frame.scene));

    notify(observer, FramePhase::Main);
    mainPass.begin(frame.view, frame.projection, frame.wireframe, shadowMap);
    if (quality.backgroundInScene) {
        mainPass.drawBackground(backgroundCopy);
    }
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
    drawScreenPass(background, finalPass,
                   {windowSize, !quality.backgroundInScene, quality.glow, frame.darken});
    if (frame.radar != nullptr) {
        radarPass.draw(*frame.radar, windowSize);
    }

    notify(observer, FramePhase::Text);
    text.begin();
    for (const TextLine& line : frame.texts) {
        text.queue(line.text, line.x, line.y, line.size);
    }
    text.drawQueued();
}
