#include "scene/Renderer.h"

#include "platform/GlCheck.h"

namespace {
void notify(FrameObserver* observer, FramePhase phase) {
    if (observer != nullptr) {
        observer->phaseBegins(phase);
    }
}
} // namespace

Renderer::Renderer(glm::vec3 lightDirection, GLuint backgroundPicture, unsigned int particleSeed)
    : shadowMap(lightDirection), mainPass(lightDirection, shadowMap), particles(particleSeed),
      screenPass(backgroundPicture, mainPass.colourTarget(), mainPass.glowTarget()) {}

void Renderer::render(const FrameContent& frame, FrameObserver* observer) {
    notify(observer, FramePhase::Shadow);
    const glm::mat4 viewProjection = frame.projection * frame.view;
    shadowMap.render(frame.draws, shadowMap.regionSeenBy(viewProjection, frame.scene));

    notify(observer, FramePhase::Main);
    mainPass.begin(frame.view, frame.projection, frame.wireframe);
    checkGlError("Renderer::render, main pass begun");
    mainPass.draw(frame.draws.opaque);
    checkGlError("Renderer::render, solid models drawn");
    mainPass.blendOver();
    mainPass.draw(frame.draws.seeThrough);
    checkGlError("Renderer::render, see-through models drawn");
    mainPass.blendWithoutDepth();
    particles.step(frame.particleSeconds, viewProjection);
    checkGlError("Renderer::render, particles drawn");

    notify(observer, FramePhase::Screen);
    screenPass.draw(frame.darken);
    if (frame.radar != nullptr) {
        radarPass.draw(*frame.radar);
    }

    notify(observer, FramePhase::Text);
    text.begin();
    for (const TextLine& line : frame.texts) {
        text.draw(line.text, line.x, line.y, line.size);
    }
}
