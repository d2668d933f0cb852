#include "render/BackgroundQuad.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"

#include <iostream>
#include <string>

namespace {
constexpr GLint kPictureUnit = 0;
} // namespace

BackgroundQuad::BackgroundQuad(GLuint picture)
    : program(loadShaders(std::string(kShaderDir) + "background.vert",
                          std::string(kShaderDir) + "background.frag")),
      picture(picture), texSamplerLocation(glGetUniformLocation(program.name(), "texSampler")),
      scaleDownLocation(glGetUniformLocation(program.name(), "scale_down")) {
    std::cout << "texSampler " << texSamplerLocation << std::endl;
}

void BackgroundQuad::draw() const {
    glUseProgram(program.name());
    glUniform2f(scaleDownLocation, 1.0f, 1.0f);
    glUniform1i(texSamplerLocation, kPictureUnit);
    glActiveTexture(GL_TEXTURE0 + kPictureUnit);
    glBindTexture(GL_TEXTURE_2D, picture);
    quad.draw();
    glBindTexture(GL_TEXTURE_2D, 0);
}
