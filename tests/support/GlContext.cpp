#include "support/GlContext.h"

#include "app/Window.h"
#include "app/WindowSize.h"

#include <cstdlib>
#include <iostream>

void ensureGlContext() {
    static bool ready = false;
    if (ready) {
        return;
    }
    if (!window::initLibrary() || !window::open(kWindowWidth, kWindowHeight, false)) {
        std::cerr << "No GL context: is an X server running (DISPLAY)?" << std::endl;
        std::abort();
    }
    if (glewInit() != GLEW_OK) {
        std::cerr << "GLEW failed to initialise" << std::endl;
        std::abort();
    }
    // The game's global state, as the entry point sets it.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    takeGlError();
    ready = true;
}

GLenum takeGlError() {
    const GLenum first = glGetError();
    if (first != GL_NO_ERROR) {
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    return first;
}

void GlTest::SetUp() {
    ensureGlContext();
    ASSERT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << "a previous test left a GL error";
}
