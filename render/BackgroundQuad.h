#pragma once

#include "render/ScreenQuad.h"

// Paints a picture over the whole window, texture coordinate (0, 0) at the bottom-left, with
// the program from "background.vert"/"background.frag", which it owns. The picture belongs to
// the caller.
class BackgroundQuad {
public:
    // Prints "texSampler <location>" on standard output once the location is known.
    explicit BackgroundQuad(GLuint picture);

    // Draws with the picture on texture unit 0, showing the share (1, 1) of it; leaves no
    // texture bound there.
    void draw() const;

    Program program;
    GLuint picture;
    GLint texSamplerLocation;
    GLint scaleDownLocation;

private:
    ScreenQuad quad;
};
