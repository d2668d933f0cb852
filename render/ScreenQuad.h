#pragma once

#include <GL/glew.h>

// The full-window quad of both screen passes: normalised device coordinates −1..1 at z = 0,
// texture coordinates 0..1 with (0, 0) at the window's bottom-left, four counter-clockwise
// vertices drawn as one GL_QUADS primitive. Each vertex is 20 bytes: the position (3 floats,
// attribute 0) followed by the texture coordinate (2 floats, attribute 1).

// Generates the vertex array and the 80-byte buffer and records the attribute layout in the
// vertex array. The attributes stay disabled and nothing is left bound.
void buildScreenQuad(GLuint& vertexArray, GLuint& vertexBuffer);

// Binds the quad's vertex array and enables attributes 0 and 1 for the draw.
void bindScreenQuad(GLuint vertexArray);

// Draws the four vertices; the quad's vertex array must be bound.
void drawScreenQuad();

// Disables attributes 0 and 1 and unbinds the vertex array.
void unbindScreenQuad();

// Deletes the buffer, then the vertex array.
void deleteScreenQuad(GLuint vertexArray, GLuint vertexBuffer);
