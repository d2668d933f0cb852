#pragma once

#include "render/Technique.h"

// The drawing program of the particle bursts: points from the captured positions, sized and
// coloured by the shaders.
class PostParticle : public Technique {
public:
    // Builds the program and fetches its uniform location. Returns true when the build
    // FAILED (a stage did not compile, the link or validation failed, or GL reports an
    // error), false when the program is ready.
    bool init() override;

    // "viewMatrix": projection × view × translation to the burst's emitter, i.e. the whole
    // transform from emitter-relative positions to clip space.
    GLint viewMatrixLocation = -1;
};

// The one drawing program, created by the ParticleEffects constructor.
extern PostParticle* postParticleShader;
