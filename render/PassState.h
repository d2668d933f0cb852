#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

// How a pass blends what it draws over what is there.
enum class Blend {
    Off,
    // Colour with (SRC_ALPHA, ONE_MINUS_SRC_ALPHA): see-through text and screen layers.
    Alpha,
    // Colour as Alpha; coverage (alpha) with (ONE, ONE_MINUS_SRC_ALPHA), so alpha accumulates
    // as "over" and a see-through object in front of a solid one leaves the pixel covered.
    Over,
};

// The GL state a pass draws with, set whole when the pass begins (applyPassState), so that no
// pass depends on what the previous one left behind.
struct PassState {
    GLuint framebuffer = 0;
    glm::ivec2 viewport{0};
    // Where the viewport's corner lies in the target, in pixels: left of and below the target's
    // own corner when the target stores only part of what is drawn.
    glm::ivec2 viewportCorner{0};
    bool depthTest = true;
    bool depthWrite = true;
    bool cullBackFaces = true;
    Blend blend = Blend::Alpha;
    bool wireframe = false;
    // Pushes depth away from the viewer by factor × slope + units × the smallest step.
    bool polygonOffset = false;
    float offsetFactor = 0.0f;
    float offsetUnits = 0.0f;
    // Clears and draws touch only this rectangle of the target, when set.
    bool scissor = false;
    glm::ivec4 scissorRect{0}; // x, y, width, height
};

void applyPassState(const PassState& state);
