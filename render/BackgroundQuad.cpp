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
    // Fixed for good: set once here.
    glUseProgram(program.name());
    glUniform1i(texSamplerLocation, kPictureUnit);
    glUseProgram(0);
    std::cout << "texSampler " << texSamplerLocation << std::endl;
}

void BackgroundQuad::draw() const {
    glUseProgram(program.name());
    // Set on every draw, so that a share another user of the program left does not shrink
    // the picture.
    glUniform2f(scaleDownLocation, 1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE0 + kPictureUnit);
    glBindTexture(GL_TEXTURE_2D, picture);
    quad.draw();
    glBindTexture(GL_TEXTURE_2D, 0);
}
