#include "platform/GlCheck.h"

#include <GL/glew.h>

#include <cstdlib>
#include <iostream>

void reportGlError(const char* label, unsigned int errorCode) {
    std::cerr << "Error @ " << label << ":" << std::endl;
    switch (errorCode) {
    case GL_INVALID_ENUM:
        std::cerr << "GL: enum argument out of range." << std::endl;
        return;
    case GL_INVALID_VALUE:
        std::cerr << "GL: Numeric argument out of range." << std::endl;
        return;
    case GL_INVALID_OPERATION:
        std::cerr << "GL: Operation illegal in current state." << std::endl;
        return;
    case GL_OUT_OF_MEMORY:
        std::cerr << "GL: Not enough memory left to execute command." << std::endl;
        return;
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        std::cerr << "GL: Framebuffer object is not complete." << std::endl;
        return;
    default:
        // An error we cannot classify leaves GL in a state we cannot reason about.
        std::cerr << "GL: Unknown error." << errorCode << std::endl;
        std::exit(EXIT_FAILURE);
    }
}

void checkGlError(const char* label) {
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        reportGlError(label, error);
    }
}
