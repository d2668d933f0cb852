#pragma once

#include <GL/glew.h>
#include <gtest/gtest.h>

// Creates, on first use, one hidden 1024 × 768 window whose GL context stays current for the
// rest of the test process, and initialises GLEW on it. Needs an X server (the test command
// runs everything under Xvfb).
void ensureGlContext();

// Base fixture of tests that talk to GL: the context exists and no error is pending.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Drains every pending GL error, returning the first one (GL_NO_ERROR when none).
GLenum takeGlError();
