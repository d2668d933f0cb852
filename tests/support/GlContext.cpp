#include "support/GlContext.h"

#include "app/GlobalGlState.h"
#include "platform/WindowSize.h"

#include <cstdlib>
#include <iostream>

namespace {
// The window lives as long as the test process; the library outlives it.
struct TestDisplay {
    TestDisplay() : window(kWindowWidth, kWindowHeight, false) {
        if (!library.ready() || !window.isOpen()) {
            std::cerr << "No GL context: is an X server running (DISPLAY)?" << std::endl;
            std::abort();
        }
        if (glewInit() != GLEW_OK) {
            std::cerr << "GLEW failed to initialise" << std::endl;
            std::abort();
        }
        setGlobalGlState(window);
        takeGlError();
    }
    WindowLibrary library;
    Window window;
};
} // namespace

Window& testWindow() {
    static TestDisplay display;
    return display.window;
}

GLenum takeGlError() {
    const GLenum first = glGetError();
    if (first != GL_NO_ERROR) {
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    return first;
}

GLint intState(GLenum name) {
    GLint value = -1; // neither GL_FALSE nor any name GL hands out
    glGetIntegerv(name, &value);
    return value;
}

GLuint textureOnUnit(GLenum unit) {
    const GLint active = intState(GL_ACTIVE_TEXTURE);
    glActiveTexture(unit);
    const GLint bound = intState(GL_TEXTURE_BINDING_2D);
    glActiveTexture(static_cast<GLenum>(active));
    return static_cast<GLuint>(bound);
}

GLint linkStatus(GLuint program) {
    GLint status = -1; // neither GL_TRUE nor GL_FALSE
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status;
}

void GlTest::SetUp() {
    testWindow();
    ASSERT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << "a previous test left a GL error";
}
