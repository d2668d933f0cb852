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

// The scene's targets' size for a window: the quality's share of it, at least a pixel.
glm::ivec2 targetSizeFor(glm::ivec2 window, const RenderQuality& quality) {
    return glm::max(glm::ivec2(glm::round(glm::vec2(window) * quality.scale)), glm::ivec2(1));
}

int sparksFor(const RenderQuality& quality) {
    return static_cast<int>(
        std::lround(quality.sparkShare * static_cast<float>(kParticlesPerBurst)));
}
} // namespace

Renderer::Renderer(glm::vec3 lightDirection, unsigned int particleSeed, const RenderSetup& setup,
                   LoadingScreen& loading)
    : textures(loading.then(text, [&] { return SceneTextures([&] { loading.show(text); }); })),
      backgroundProgram(loading.then(text, [] { return BackgroundQuad::loadProgram(); })),
      mainPass(loading.then(text,
                            [&] {
                                const glm::ivec2 window = glm::max(setup.window, glm::ivec2(1));
                                const glm::ivec2 target = targetSizeFor(window, setup.quality);
                                return MainPass(lightDirection, target, target != window);
                            })),
      shadowMap(loading.then(
          text,
          [&] { return ShadowMap(lightDirection, setup.quality.shadowMapTexels, setup.reach); })),
      finalPass(loading.then(
          text, [this] { return FinalPass(mainPass.colourTarget(), mainPass.glowTarget()); })),
      models(loading.then(text, [this] { return SceneModels(textures); })),
      particles(loading.then(text, [particleSeed] { return ParticleEffects(particleSeed); })),
      background(backgroundProgram.name(), textures[SceneTextures::kBackground]),
      radarPass(loading.then(text, [] { return RadarPass(); })),
      aimMarkPass(loading.then(text, [] { return AimMarkPass(); })), windowSize(setup.window),
      quality(setup.quality) {
    text.setWindowSize(windowSize);
    particles.sparksPerBurst = sparksFor(quality);
    backgroundChanged();
}

void Renderer::setView(glm::ivec2 window, const RenderQuality& wanted) {
    particles.sparksPerBurst = sparksFor(wanted);
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
    const glm::ivec2 target = targetSizeFor(window, quality);
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
    drawShadow(frame);
    notify(observer, FramePhase::Main);
    drawMain(frame, MainRehearsal::None);
    notify(observer, FramePhase::Screen);
    drawScreen(frame);
    drawOverlays(frame);
    notify(observer, FramePhase::Text);
    drawText(frame);
}

bool Renderer::rehearse(const FrameContent& frame, int part) {
    if (!drawable()) {
        return true;
    }
    switch (part) {
    case 0:
        drawShadow(frame);
        break;
    case 1:
        drawMain(frame, MainRehearsal::Solid);
        break;
    case 2:
        drawMain(frame, MainRehearsal::SeeThrough);
        break;
    case 3:
    case 4:
        // A burst's first step, then a later one.
        mainPass.blendWithoutDepth();
        particles.rehearse(frame.projection * frame.view, part - 2);
        break;
    case 5:
        drawScreen(frame);
        break;
    default: {
        // The aiming marks show only in a match: both are drawn here whatever the frame has.
        AimMarks marks;
        marks.crosshair = marks.hull = true;
        marks.crosshairAt = marks.hullAt = glm::vec2(windowSize) * 0.5f;
        if (frame.radar != nullptr) {
            radarPass.draw(*frame.radar, windowSize);
        }
        aimMarkPass.draw(marks, windowSize);
        return false;
    }
    }
    return true;
}

void Renderer::drawShadow(const FrameContent& frame) {
    shadowMap.render(frame.draws,
                     shadowMap.regionSeenBy(frame.projection * frame.view, frame.scene));
}

void Renderer::drawMain(const FrameContent& frame, MainRehearsal rehearsal) {
    mainPass.begin(frame.view, frame.projection, frame.wireframe, shadowMap);
    if (quality.backgroundInScene) {
        mainPass.drawBackground(backgroundCopy);
    }
    checkGlError("Scene::render() 1");
    mainPass.draw(frame.draws.opaque);
    checkGlError("Scene::render() 2");
    checkGlError("Scene::render() 3");
    if (rehearsal == MainRehearsal::Solid) {
        return;
    }
    mainPass.blendOver();
    // A rehearsal draws every model see-through too, as some are at times, and no burst.
    mainPass.draw(rehearsal == MainRehearsal::SeeThrough ? frame.draws.opaque
                                                         : frame.draws.seeThrough);
    checkGlError("Scene::render() 4");
    if (rehearsal == MainRehearsal::SeeThrough) {
        return;
    }
    mainPass.blendWithoutDepth();
    particles.step(frame.particleSeconds, frame.projection * frame.view);
    checkGlError("After Particle Render");
    checkGlError("Scene::render() 5");
}

void Renderer::drawScreen(const FrameContent& frame) {
    drawScreenPass(background, finalPass,
                   {windowSize, !quality.backgroundInScene, quality.glow, frame.darken});
}

void Renderer::drawOverlays(const FrameContent& frame) {
    if (frame.radar != nullptr) {
        radarPass.draw(*frame.radar, windowSize);
    }
    if (frame.aim != nullptr) {
        aimMarkPass.draw(*frame.aim, windowSize);
    }
}

void Renderer::drawText(const FrameContent& frame) {
    // The whole lines go in one draw; lines fading out (the feed's) follow one by one.
    text.begin();
    for (const TextLine& line : frame.texts) {
        if (line.opacity >= 1.0f) {
            text.queue(line.text, line.x, line.y, line.size);
        }
    }
    text.drawQueued();
    for (const TextLine& line : frame.texts) {
        if (line.opacity < 1.0f) {
            text.draw(line.text, line.x, line.y, line.size, line.opacity);
        }
    }
}
