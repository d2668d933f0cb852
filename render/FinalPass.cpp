#include "render/FinalPass.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"

#include <string>

namespace {
constexpr GLint kColourUnit = 0;
constexpr GLint kGlowUnit = 1;
// A spark of a few pixels gets a visible halo at this weight.
constexpr float kBloomWeight = 2.0f;
// No darken a frame asks for: the first draw of each program sets its own.
constexpr float kUnset = -1.0f;

ProgramAndVariant loadFinalPrograms() {
    return loadShadersWithVariant(std::string(kShaderDir) + "final.vert",
                                  std::string(kShaderDir) + "final.frag", "#define GLOW 0");
}
} // namespace

FinalPass::FinalPass(GLuint colourTarget, GLuint glowTarget)
    : FinalPass(loadFinalPrograms(), colourTarget, glowTarget) {}

FinalPass::FinalPass(ProgramAndVariant programs, GLuint colourTarget, GLuint glowTarget)
    : program(std::move(programs.program)),
      darkenLocation(glGetUniformLocation(program.name(), "darken")),
      bloomWeightLocation(glGetUniformLocation(program.name(), "bloomWeight")),
      texSampler1Location(glGetUniformLocation(program.name(), "texSampler1")),
      texSampler2Location(glGetUniformLocation(program.name(), "texSampler2")),
      colourTarget(colourTarget), glowTarget(glowTarget), withoutGlow(std::move(programs.variant)),
      glowSampler(Sampler::create()), glowing{program.name(), darkenLocation, kUnset},
      plain{withoutGlow.name(), glGetUniformLocation(withoutGlow.name(), "darken"), kUnset} {
    // Whole levels only, so one bilinear read a level is exact; clamped, so that glow at one
    // edge of the window never comes in at the opposite one.
    glSamplerParameteri(glowSampler.name(), GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glSamplerParameteri(glowSampler.name(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(glowSampler.name(), GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(glowSampler.name(), GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Fixed for good: set once here.
    glUseProgram(program.name());
    glUniform1i(texSampler1Location, kColourUnit);
    glUniform1i(texSampler2Location, kGlowUnit);
    glUniform1f(bloomWeightLocation, kBloomWeight);
    glUseProgram(withoutGlow.name());
    glUniform1i(glGetUniformLocation(withoutGlow.name(), "texSampler1"), kColourUnit);
    glUseProgram(0);
}

void FinalPass::draw(float darken, bool glow) const {
    Composer& composer = glow ? glowing : plain;
    glUseProgram(composer.program);
    if (darken != composer.darken) {
        glUniform1f(composer.darkenLocation, darken);
        composer.darken = darken;
    }
    glActiveTexture(GL_TEXTURE0 + kGlowUnit);
    glBindTexture(GL_TEXTURE_2D, glow ? glowTarget : 0);
    if (glow) {
        glGenerateMipmap(GL_TEXTURE_2D);
        glBindSampler(kGlowUnit, glowSampler.name());
    }
    glActiveTexture(GL_TEXTURE0 + kColourUnit);
    glBindTexture(GL_TEXTURE_2D, colourTarget);
    quad.draw();
    glBindTexture(GL_TEXTURE_2D, 0);
    if (glow) {
        glBindSampler(kGlowUnit, 0);
        glActiveTexture(GL_TEXTURE0 + kGlowUnit);
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
    }
}
