#pragma once

#include "platform/Window.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

// The test process's one hidden 1024 × 768 window, made on first use with its GL context
// current for the rest of the process, GLEW initialised and the game's start-up GL state set.
// Needs an X server (the test command runs everything under Xvfb).
Window& testWindow();

// Base fixture of tests that talk to GL: the context exists and no error is pending.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Drains every pending GL error, returning the first one (GL_NO_ERROR when none).
GLenum takeGlError();

// The integer state name holds (its first value), from glGetIntegerv.
GLint intState(GLenum name);
// The 2D texture bound on unit (GL_TEXTURE0 + i); the active unit is left as it was.
GLuint textureOnUnit(GLenum unit);
// The program's GL_LINK_STATUS: GL_TRUE when it linked.
GLint linkStatus(GLuint program);
