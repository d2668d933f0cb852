#pragma once

#include "render/Technique.h"

// The simulation program: a vertex and a geometry stage, no fragment stage, whose outputs
// "Type1", "Position1", "Velocity1", "Age1" are captured interleaved as Particle records.
class ParticleShader : public Technique {
public:
    // Builds the program and fetches its uniform locations. Returns true when the build
    // FAILED (a stage did not compile, the link or validation failed, or GL reports an
    // error), false when the program is ready.
    bool init() override;

    GLint deltaTimeLocation = -1; // "gDeltaTimeMillis": the frame's elapsed milliseconds
    GLint timeLocation = -1;      // "gTime": the burst's milliseconds since its emission
    GLint lifeTimeLocation = -1;  // "gLifeTime": the burst's lifetime in milliseconds
};

// The one simulation program, created by the ParticleEffects constructor.
extern ParticleShader* particleShader;
