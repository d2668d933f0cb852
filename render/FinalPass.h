#pragma once

#include "render/ScreenQuad.h"
#include "render/ShaderLoader.h"

// Lays the main pass's two targets over whatever the window already holds (the background)
// with its own program from "final.vert"/"final.frag", scaled by darken: the colour target
// holds the lit colour with its coverage, the glow target the light that blooms past edges.
// Neither target is owned. A draw with glow makes the glow target's small mip levels anew and
// reads them through a sampler of its own (trilinear, clamped to the edges), so the bloom is
// wide for a few reads and does not wrap across the window; a draw without glow uses the
// program's variant that never reads the glow target.
class FinalPass {
public:
    // The mip level "final.frag" reads the glow at (kBloomLevel). The glow target's owner sets
    // it as the target's GL_TEXTURE_MAX_LEVEL: making smaller levels costs time for nothing.
    static constexpr GLint kGlowMaxLevel = 3;

    FinalPass(GLuint colourTarget, GLuint glowTarget);

    // Samples the colour target on unit 0 and, when glow is set, blooms the glow target from
    // unit 1, with the brightness factor darken (1 while playing, lower to dim the whole
    // frame). Afterwards unit 0 is active with no texture or sampler bound on either unit.
    void draw(float darken, bool glow = true) const;

    Program program; // blooms the glow
    GLint darkenLocation;
    GLint bloomWeightLocation;
    GLint texSampler1Location;
    GLint texSampler2Location;
    GLuint colourTarget;
    GLuint glowTarget;

private:
    FinalPass(ProgramAndVariant programs, GLuint colourTarget, GLuint glowTarget);

    // One of the two programs, with the darken it was last given: set only when it changes.
    struct Composer {
        GLuint program;
        GLint darkenLocation;
        float darken;
    };

    Program withoutGlow; // the variant that leaves the glow target alone
    ScreenQuad quad;
    Sampler glowSampler;
    mutable Composer glowing;
    mutable Composer plain;
};
