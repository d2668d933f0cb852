#include "particles/ParticleEffects.h"

#include <cstdio>

namespace {
constexpr int kBurstCount = 10;
} // namespace

ParticleEffects::ParticleEffects(unsigned int seed) : random(seed) {
    const bool simulationBuilt = simulation.init();
    const bool drawingBuilt = drawing.init();
    std::printf("Init particle Shaders: %d\n", simulationBuilt && drawingBuilt ? 0 : 1);
    std::fflush(stdout);

    systems.reserve(kBurstCount);
    for (int i = 0; i < kBurstCount; ++i) {
        systems.emplace_back(random);
    }
}

void ParticleEffects::trigger(glm::vec3 position) {
    systems[static_cast<std::size_t>(nextSystem)].emit(position, sparksPerBurst);
    nextSystem = (nextSystem + 1) % static_cast<int>(systems.size());
}

void ParticleEffects::step(float deltaSeconds, const glm::mat4& viewProjection) {
    for (ParticleSystem& system : systems) {
        // The test comes before the addition: the frame that reaches the lifetime still runs.
        if (system.live()) {
            system.advance(deltaSeconds, viewProjection, simulation, drawing);
        }
    }
}

void ParticleEffects::rehearse(const glm::mat4& viewProjection, int steps) {
    for (ParticleSystem& system : systems) {
        if (!system.live()) {
            system.rehearse(viewProjection, simulation, drawing, steps);
            return;
        }
    }
}
