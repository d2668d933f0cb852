#pragma once

#include <glm/glm.hpp>

#include <vector>

class ParticleSystem;

// The ten reusable particle bursts, used in turn. The constructor also builds the two
// particle programs (particleShader, postParticleShader) and reports them on standard output;
// only one ParticleEffects exists at a time, and it owns those programs and its bursts.
class ParticleEffects {
public:
    ParticleEffects();
    ~ParticleEffects();
    ParticleEffects(const ParticleEffects&) = delete;
    ParticleEffects& operator=(const ParticleEffects&) = delete;

    // Restarts the next burst in turn at position, whether or not it is still live.
    void trigger(glm::vec3 position);
    // Simulates and draws every live burst; idle bursts cost no GL call. Runs inside the main
    // pass with the frame's elapsed milliseconds and the camera's projection × view.
    void step(int deltaMs, glm::mat4 viewProjection);

    std::vector<ParticleSystem*> systems;
    int systemCount = 0;
    int nextSystem = 0;
};
