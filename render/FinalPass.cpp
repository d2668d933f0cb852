#include "render/FinalPass.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"

#include <string>

namespace {
constexpr GLint kColourUnit = 0;
constexpr GLint kGlowUnit = 1;
} // namespace

FinalPass::FinalPass(GLuint colourTarget, GLuint glowTarget)
    : program(loadShaders(std::string(kShaderDir) + "final.vert",
                          std::string(kShaderDir) + "final.frag")),
      darkenLocation(glGetUniformLocation(program.name(), "darken")),
      texSampler1Location(glGetUniformLocation(program.name(), "texSampler1")),
      texSampler2Location(glGetUniformLocation(program.name(), "texSampler2")),
      colourTarget(colourTarget), glowTarget(glowTarget) {}

void FinalPass::draw(float darken) const {
    glUseProgram(program.name());
    glUniform1f(darkenLocation, darken);
    glUniform1i(texSampler1Location, kColourUnit);
    glUniform1i(texSampler2Location, kGlowUnit);
    glActiveTexture(GL_TEXTURE0 + kColourUnit);
    glBindTexture(GL_TEXTURE_2D, colourTarget);
    glActiveTexture(GL_TEXTURE0 + kGlowUnit);
    glBindTexture(GL_TEXTURE_2D, glowTarget);
    quad.draw();
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
}
