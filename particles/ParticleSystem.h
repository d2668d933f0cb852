#pragma once

#include "particles/Particle.h"
#include "particles/ParticleDrawProgram.h"
#include "particles/ParticleSimProgram.h"
#include "render/GlObject.h"

#include <glm/glm.hpp>

#include <array>
#include <random>

constexpr int kParticlesPerBurst = 1000;
constexpr float kBurstLifeSeconds = 0.7f; // a burst stays live this long after its emission

// One particle burst, kept entirely on the GPU: two buffers of records ping-pong through
// transform feedback, the simulation reading one and capturing into the other, and the record
// counts travel between passes inside the transform-feedback objects.
class ParticleSystem {
public:
    // Generates the GL objects and draws the burst's own initial records from random; nothing
    // is uploaded until the first emission.
    explicit ParticleSystem(std::mt19937& random);

    // Makes the burst live at position with its first sparks records (at most
    // kParticlesPerBurst), restarting it if it still is; the records are uploaded by the next
    // advance, so emitting makes no GL call.
    void emit(glm::vec3 position, int sparks = kParticlesPerBurst);
    bool live() const { return elapsedSeconds < kBurstLifeSeconds; }
    // One frame of a live burst: simulates deltaSeconds and draws the result.
    void advance(float deltaSeconds, const glm::mat4& viewProjection,
                 const ParticleSimProgram& simulation, const ParticleDrawProgram& drawing);
    // A spark emitted, then simulated and drawn for steps frames (the first step of a burst
    // simulates its records as uploaded, the later ones what the step before them left), then
    // the burst, which must be idle, as it was (its records are uploaded again at its next
    // emission).
    void rehearse(const glm::mat4& viewProjection, const ParticleSimProgram& simulation,
                  const ParticleDrawProgram& drawing, int steps);

    std::array<Particle, kParticlesPerBurst> initialParticles{};
    float elapsedSeconds; // since the last emission; idle from kBurstLifeSeconds on
    glm::vec3 emitterPosition{0.0f};

private:
    void upload(const ParticleSimProgram& simulation);
    // Advances the records of particleBuffers[sourceIndex] into particleBuffers[targetIndex].
    // Leaves rasteriser discard on: the drawing that follows turns it off.
    void simulate(float deltaSeconds, const ParticleSimProgram& simulation);
    // Draws the records the last simulation captured, as points around emitterPosition.
    void draw(const glm::mat4& viewProjection, const ParticleDrawProgram& drawing) const;

    bool uploadPending = false;
    int sparkCount = kParticlesPerBurst; // records the emission started with
    bool isFirstUpdate = true;
    int sourceIndex = 0;
    int targetIndex = 1;
    std::array<Buffer, 2> particleBuffers;
    std::array<TransformFeedback, 2> transformFeedbacks;
};
