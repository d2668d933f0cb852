#include "render/Technique.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr GLsizei kLogSize = 1024; // characters

const char* stageName(GLenum shaderType) {
    switch (shaderType) {
    case GL_VERTEX_SHADER:
        return "VS";
    case GL_GEOMETRY_SHADER:
        return "GS";
    case GL_FRAGMENT_SHADER:
        return "FS";
    default:
        return "??";
    }
}

} // namespace

bool Technique::createProgram() {
    shaderProgram = Program::create();
    if (!shaderProgram) {
        std::fprintf(stderr, "Error creating shader program\n");
        return false;
    }
    return true;
}

bool Technique::init() {
    return createProgram();
}

bool Technique::addShader(GLenum shaderType, const char* text) {
    const GLuint shader = glCreateShader(shaderType);
    if (shader == 0) {
        std::fprintf(stderr, "Error creating shader type %d\n", static_cast<int>(shaderType));
        return false;
    }
    shaderObjects.emplace_back(shader);

    const GLint length = static_cast<GLint>(std::strlen(text));
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_FALSE) {
        char log[kLogSize] = {};
        glGetShaderInfoLog(shader, kLogSize, nullptr, log);
        std::fprintf(stderr, "Error compiling %s: '%s'\n", stageName(shaderType), log);
        return false;
    }
    glAttachShader(shaderProgram.name(), shader);
    return glGetError() == GL_NO_ERROR;
}

bool Technique::finalize() {
    char log[kLogSize] = {};
    GLint status = GL_FALSE;

    glLinkProgram(shaderProgram.name());
    glGetProgramiv(shaderProgram.name(), GL_LINK_STATUS, &status);
    if (status == GL_FALSE) {
        glGetProgramInfoLog(shaderProgram.name(), kLogSize, nullptr, log);
        std::fprintf(stderr, "Error linking shader program: '%s'\n", log);
        return false;
    }

    glValidateProgram(shaderProgram.name());
    glGetProgramiv(shaderProgram.name(), GL_VALIDATE_STATUS, &status);
    if (status == GL_FALSE) {
        glGetProgramInfoLog(shaderProgram.name(), kLogSize, nullptr, log);
        std::fprintf(stderr, "Invalid shader program: '%s'\n", log);
        return false;
    }

    shaderObjects.clear();
    return glGetError() == GL_NO_ERROR;
}
