#pragma once

#include "render/ScreenQuad.h"

// Paints a picture over the whole window, texture coordinate (0, 0) at the bottom-left, with
// the program from "background.vert"/"background.frag". Neither the program nor the picture
// is owned: the program is read with the scene's other programs, long before the quad is made.
class BackgroundQuad {
public:
    // Reads and links "background.vert"/"background.frag".
    static Program loadProgram();

    // Prints "texSampler <location>" on standard output once the location is known.
    BackgroundQuad(GLuint program, GLuint picture);

    // Draws with the picture on texture unit 0, showing the share (1, 1) of it; leaves no
    // texture bound there.
    void draw() const;

    GLuint program;
    GLuint picture;
    GLint texSamplerLocation;
    GLint scaleDownLocation;

private:
    ScreenQuad quad;
};
