#include "render/FinalPass.h"

#include "render/AssetPaths.h"
#include "render/ScreenQuad.h"
#include "render/ShaderLoader.h"

#include <string>

namespace {
constexpr GLint kSceneColourUnit = 0;
constexpr GLint kGlowUnit = 1;
} // namespace

FinalPass::FinalPass(GLuint texture1, GLuint texture2) : texture1(texture1), texture2(texture2) {
    program =
        loadShaders(std::string(kShaderDir) + "final.vert", std::string(kShaderDir) + "final.frag");
    darkenLocation = glGetUniformLocation(program, "darken");
    texSampler1Location = glGetUniformLocation(program, "texSampler1");
    texSampler2Location = glGetUniformLocation(program, "texSampler2");
    buildScreenQuad(vertexArray, vertexBuffer);
}

FinalPass::~FinalPass() {
    deleteScreenQuad(vertexArray, vertexBuffer);
}

void FinalPass::draw() {
    glUseProgram(program);
    glUniform1f(darkenLocation, darken);
    bindScreenQuad(vertexArray);
    glUniform1i(texSampler1Location, kSceneColourUnit);
    glUniform1i(texSampler2Location, kGlowUnit);
    glActiveTexture(GL_TEXTURE0 + kSceneColourUnit);
    glBindTexture(GL_TEXTURE_2D, texture1);
    glActiveTexture(GL_TEXTURE0 + kGlowUnit);
    glBindTexture(GL_TEXTURE_2D, texture2);
    drawScreenQuad();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    unbindScreenQuad();
    glUseProgram(0);
}
