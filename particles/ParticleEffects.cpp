#include "particles/ParticleEffects.h"

#include "particles/ParticleShader.h"
#include "particles/ParticleSystem.h"
#include "particles/PostParticle.h"

#include <cassert>
#include <cstdio>
#include <utility>

namespace {

constexpr int kBurstCount = 10;

} // namespace

ParticleEffects::ParticleEffects() : systemCount(kBurstCount), nextSystem(0) {
    assert(particleShader == nullptr && postParticleShader == nullptr &&
           "only one ParticleEffects at a time");
    particleShader = new ParticleShader();
    postParticleShader = new PostParticle();
    const bool simulationFailed = particleShader->init();
    const bool drawingFailed = postParticleShader->init();
    std::printf("Init particle Shaders: %d\n", (simulationFailed || drawingFailed) ? 1 : 0);

    for (int i = 0; i < systemCount; ++i) {
        systems.push_back(new ParticleSystem());
    }
}

ParticleEffects::~ParticleEffects() {
    for (ParticleSystem* system : systems) {
        delete system;
    }
    delete postParticleShader;
    postParticleShader = nullptr;
    delete particleShader;
    particleShader = nullptr;
}

void ParticleEffects::trigger(glm::vec3 position) {
    systems[nextSystem]->emit(position);
    nextSystem = (nextSystem + 1) % systemCount;
}

void ParticleEffects::step(int deltaMs, glm::mat4 viewProjection) {
    for (ParticleSystem* system : systems) {
        // The test comes before the addition: the frame that reaches the lifetime still runs.
        if (static_cast<float>(system->elapsedMs) < static_cast<float>(kBurstLifeMs)) {
            system->elapsedMs += deltaMs;
            system->simulate(deltaMs);
            system->draw(viewProjection);
            std::swap(system->sourceIndex, system->targetIndex);
        }
    }
}
