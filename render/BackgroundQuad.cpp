#include "render/BackgroundQuad.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"

#include <iostream>
#include <string>

namespace {
constexpr GLint kPictureUnit = 0;
} // namespace

Program BackgroundQuad::loadProgram() {
    return loadShaders(std::string(kShaderDir) + "background.vert",
                       std::string(kShaderDir) + "background.frag");
}

BackgroundQuad::BackgroundQuad(GLuint program, GLuint picture)
    : program(program), picture(picture),
      texSamplerLocation(glGetUniformLocation(program, "texSampler")),
      scaleDownLocation(glGetUniformLocation(program, "scale_down")) {
    // Fixed for good: set once here.
    glUseProgram(program);
    glUniform1i(texSamplerLocation, kPictureUnit);
    glUseProgram(0);
    std::cout << "texSampler " << texSamplerLocation << std::endl;
}

void BackgroundQuad::draw() const {
    glUseProgram(program);
    // Set on every draw, so that a share another user of the program left does not shrink
    // the picture.
    glUniform2f(scaleDownLocation, 1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE0 + kPictureUnit);
    glBindTexture(GL_TEXTURE_2D, picture);
    quad.draw();
    glBindTexture(GL_TEXTURE_2D, 0);
}
