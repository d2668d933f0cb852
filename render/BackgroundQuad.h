#pragma once

#include <GL/glew.h>

// Paints a picture over the whole window, texture coordinate (0, 0) at the bottom-left. The
// program and texture belong to the caller, who may set further uniforms of the program (such
// as "scale_down") before each draw; the quad's vertex array and buffer belong to this object.
class BackgroundQuad {
public:
    // Prints "texSampler <location>" on standard output once the location is known.
    BackgroundQuad(GLuint program, GLuint texture);
    ~BackgroundQuad();
    BackgroundQuad(const BackgroundQuad&) = delete;
    BackgroundQuad& operator=(const BackgroundQuad&) = delete;

    // Draws with the texture on the active texture unit; leaves no program, vertex array or
    // texture bound there.
    void draw();

    GLuint program = 0;
    GLuint texture = 0;
    GLint texSamplerLocation = -1;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
};

// The game's one background, created and deleted by the scene.
extern BackgroundQuad* backgroundQuad;
