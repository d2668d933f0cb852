#pragma once

#include "render/Technique.h"

// The particle simulation program, from "particle.vert" and "particle.geom": a vertex and a
// geometry stage, no fragment stage, whose outputs "Type1", "Position1", "Velocity1", "Age1"
// are captured interleaved as Particle records.
class ParticleSimProgram : public Technique {
public:
    // Builds the program and fetches its uniform locations; true when it is ready.
    bool init() override;

    GLint deltaTimeLocation = -1; // "gDeltaTimeMillis": the frame's elapsed milliseconds
    GLint timeLocation = -1;      // "gTime": the burst's milliseconds since its emission
    GLint lifeTimeLocation = -1;  // "gLifeTime": the burst's lifetime in milliseconds
};
