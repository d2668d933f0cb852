#include "render/BackgroundQuad.h"

#include "render/ScreenQuad.h"

#include <iostream>

BackgroundQuad* backgroundQuad = nullptr;

BackgroundQuad::BackgroundQuad(GLuint program, GLuint texture)
    : program(program), texture(texture) {
    texSamplerLocation = glGetUniformLocation(program, "texSampler");
    std::cout << "texSampler " << texSamplerLocation << std::endl;
    buildScreenQuad(vertexArray, vertexBuffer);
}

BackgroundQuad::~BackgroundQuad() {
    deleteScreenQuad(vertexArray, vertexBuffer);
}

void BackgroundQuad::draw() {
    glUseProgram(program);
    bindScreenQuad(vertexArray);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(texSamplerLocation, 0);
    drawScreenQuad();
    glBindTexture(GL_TEXTURE_2D, 0);
    unbindScreenQuad();
    glUseProgram(0);
}
