#pragma once

#include "particles/Particle.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <array>

constexpr int kParticlesPerBurst = 1000;
constexpr int kBurstLifeMs = 700;   // milliseconds a burst stays live after its emission
constexpr int kIdleElapsedMs = 701; // elapsedMs of a burst that was never emitted

// One particle burst, kept entirely on the GPU: two buffers of records ping-pong through
// transform feedback, the simulation reading one and capturing into the other, and the
// record counts travel between passes inside the transform-feedback objects.
class ParticleSystem {
public:
    // Generates the GL objects and draws the burst's own random initial records with rand();
    // nothing is uploaded until the first emission.
    ParticleSystem();
    ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Refills both buffers with the initial records and makes the burst live at position.
    void emit(glm::vec3 position);
    // Advances the records of particleBuffers[sourceIndex] into particleBuffers[targetIndex].
    // Leaves rasteriser discard on: the drawing pass that follows turns it off.
    void simulate(int deltaMs);
    // Draws the records the last simulate captured, as points around emitterPosition.
    void draw(glm::mat4 viewProjection);

    bool isFirstUpdate = true;
    int sourceIndex = 0;
    int targetIndex = 1;
    GLuint particleBuffers[2] = {0, 0};
    GLuint transformFeedbacks[2] = {0, 0};
    std::array<Particle, kParticlesPerBurst> initialParticles{};
    int elapsedMs = kIdleElapsedMs;
    glm::vec3 emitterPosition{0.0f};
};
