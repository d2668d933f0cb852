#pragma once

#include <GL/glew.h>

// Lays the main pass's two colour targets over whatever the window already holds (the
// background) with its own program from "final.vert"/"final.frag", scaled by darken.
// texture1 holds the lit colour with the object's alpha, texture2 the glow term; neither is
// owned. The quad's vertex array and buffer are owned.
class FinalPass {
public:
    FinalPass(GLuint texture1, GLuint texture2);
    ~FinalPass();
    FinalPass(const FinalPass&) = delete;
    FinalPass& operator=(const FinalPass&) = delete;

    // Samples texture1 on unit 0 and texture2 on unit 1. Afterwards unit 0 is active with no
    // texture bound, unit 1 still has texture2, and no program or vertex array is bound.
    void draw();

    GLuint program = 0;
    GLint darkenLocation = -1;
    float darken = 1.0f; // brightness factor: 1 while playing, lower to dim the whole frame
    GLuint texture1 = 0;
    GLint texSampler1Location = -1;
    GLuint texture2 = 0;
    GLint texSampler2Location = -1;
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
};
