#pragma once

#include "assets/Vertex.h"
#include "render/GlObject.h"

// One drawable piece of geometry on the GPU: a vertex array with one interleaved buffer, drawn
// as vertexCount / 3 triangles with its texture. Attributes: 0 position, 1 normal, 2 texture
// coordinate. The program and its uniforms are the caller's.
class Mesh {
public:
    // Uploads the vertices at once; the caller may free its array afterwards. The texture is
    // not owned and must outlive the mesh.
    Mesh(const Vertex* vertices, unsigned int count, GLuint texture);

    // Draws with the texture bound on the active unit.
    void draw() const;
    // Draws the same triangles without binding a texture, for depth-only passes.
    void drawPositions() const;

    unsigned int vertexCount = 0;
    GLuint texture = 0;

private:
    VertexArray vertexArray;
    Buffer vertexBuffer;
};
