#include "render/FinalPass.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"

#include <string>

namespace {
constexpr GLint kColourUnit = 0;
constexpr GLint kGlowUnit = 1;
// A spark of a few pixels gets a visible halo at this weight.
constexpr float kBloomWeight = 2.0f;
} // namespace

FinalPass::FinalPass(GLuint colourTarget, GLuint glowTarget)
    : program(loadShaders(std::string(kShaderDir) + "final.vert",
                          std::string(kShaderDir) + "final.frag")),
      darkenLocation(glGetUniformLocation(program.name(), "darken")),
      bloomWeightLocation(glGetUniformLocation(program.name(), "bloomWeight")),
      texSampler1Location(glGetUniformLocation(program.name(), "texSampler1")),
      texSampler2Location(glGetUniformLocation(program.name(), "texSampler2")),
      colourTarget(colourTarget), glowTarget(glowTarget), glowSampler(Sampler::create()) {
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
    glUseProgram(0);
}

void FinalPass::draw(float darken, bool glow) const {
    glUseProgram(program.name());
    glUniform1f(darkenLocation, darken);
    glUniform1f(bloomWeightLocation, glow ? kBloomWeight : 0.0f);
    glActiveTexture(GL_TEXTURE0 + kColourUnit);
    glBindTexture(GL_TEXTURE_2D, colourTarget);
    glActiveTexture(GL_TEXTURE0 + kGlowUnit);
    glBindTexture(GL_TEXTURE_2D, glowTarget);
    if (glow) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    glBindSampler(kGlowUnit, glowSampler.name());
    quad.draw();
    glBindSampler(kGlowUnit, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}
