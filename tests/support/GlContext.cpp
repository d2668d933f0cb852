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

void GlTest::SetUp() {
    testWindow();
    ASSERT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << "a previous test left a GL error";
}
