#pragma once

#include "render/Technique.h"

// The particle drawing program, from "postParticle.vert" and "postParticle.frag": points at
// the captured positions, sized and coloured by the shaders.
class ParticleDrawProgram : public Technique {
public:
    // Builds the program and fetches its uniform location; true when it is ready.
    bool init() override;

    // "viewMatrix": projection × view × translation to the burst's emitter, i.e. the whole
    // transform from emitter-relative positions to clip space.
    GLint viewMatrixLocation = -1;
};
