#pragma once

#include "particles/ParticleDrawProgram.h"
#include "particles/ParticleSimProgram.h"
#include "particles/ParticleSystem.h"

#include <glm/glm.hpp>

#include <random>
#include <vector>

// The ten reusable particle bursts, used in turn, with the two particle programs. Building
// them reports "Init particle Shaders: " and 0, or 1 when a program could not be built.
class ParticleEffects {
public:
    // seed seeds the random source the bursts' initial records are drawn from.
    explicit ParticleEffects(unsigned int seed);

    // Restarts the next burst in turn at position, whether or not it is still live, with
    // sparksPerBurst sparks. Makes no GL call: the burst is uploaded when it is next stepped.
    void trigger(glm::vec3 position);
    // Simulates and draws every live burst; idle bursts cost no GL call. Runs inside the main
    // pass with the frame's elapsed seconds and the camera's projection × view.
    void step(float deltaSeconds, const glm::mat4& viewProjection);
    // Simulates and draws a spark of a burst for steps frames, as step would, and leaves every
    // burst as it was: for the driver to prepare the bursts' draws before the first real one.
    void rehearse(const glm::mat4& viewProjection, int steps);

    ParticleSimProgram simulation;
    ParticleDrawProgram drawing;
    std::vector<ParticleSystem> systems;
    int nextSystem = 0;
    int sparksPerBurst = kParticlesPerBurst; // what a quality preset spends on a burst

private:
    std::mt19937 random;
};
