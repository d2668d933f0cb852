#include "render/ScreenQuad.h"

namespace {

constexpr GLuint kPositionAttribute = 0;
constexpr GLuint kUvAttribute = 1;
constexpr GLint kPositionComponents = 3;
constexpr GLint kUvComponents = 2;
constexpr GLsizei kVertexStride = 5 * sizeof(float); // bytes
constexpr size_t kUvOffset = 3 * sizeof(float);      // bytes
constexpr GLsizei kVertexCount = 4;

// Position x, y, z, then texture coordinate u, v; counter-clockwise from the bottom-left.
constexpr float kQuadVertices[] = {
    -1.0f, -1.0f, 0.0f, 0.0f, 0.0f, //
    1.0f,  -1.0f, 0.0f, 1.0f, 0.0f, //
    1.0f,  1.0f,  0.0f, 1.0f, 1.0f, //
    -1.0f, 1.0f,  0.0f, 0.0f, 1.0f, //
};

} // namespace

ScreenQuad::ScreenQuad() : vertexArray(VertexArray::create()), vertexBuffer(Buffer::create()) {
    glBindVertexArray(vertexArray.name());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadVertices), kQuadVertices, GL_STATIC_DRAW);
    glVertexAttribPointer(kPositionAttribute, kPositionComponents, GL_FLOAT, GL_FALSE,
                          kVertexStride, nullptr);
    glVertexAttribPointer(kUvAttribute, kUvComponents, GL_FLOAT, GL_FALSE, kVertexStride,
                          reinterpret_cast<const void*>(kUvOffset));
    glEnableVertexAttribArray(kPositionAttribute);
    glEnableVertexAttribArray(kUvAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void ScreenQuad::draw() const {
    glBindVertexArray(vertexArray.name());
    glDrawArrays(GL_QUADS, 0, kVertexCount);
    glBindVertexArray(0);
}
