#pragma once

#include "render/GlObject.h"

// The full-window quad of the screen passes: normalised device coordinates −1..1 at z = 0,
// texture coordinates 0..1 with (0, 0) at the window's bottom-left, four counter-clockwise
// vertices drawn as one GL_QUADS primitive. Each vertex is 20 bytes: the position (3 floats,
// attribute 0) followed by the texture coordinate (2 floats, attribute 1).
class ScreenQuad {
public:
    ScreenQuad();
    // Draws the quad with the current program; leaves no vertex array bound.
    void draw() const;

private:
    VertexArray vertexArray;
    Buffer vertexBuffer;
};
