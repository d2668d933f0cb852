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

void buildScreenQuad(GLuint& vertexArray, GLuint& vertexBuffer) {
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kQuadVertices), kQuadVertices, GL_STATIC_DRAW);
    glVertexAttribPointer(kPositionAttribute, kPositionComponents, GL_FLOAT, GL_FALSE,
                          kVertexStride, nullptr);
    glVertexAttribPointer(kUvAttribute, kUvComponents, GL_FLOAT, GL_FALSE, kVertexStride,
                          reinterpret_cast<const void*>(kUvOffset));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void bindScreenQuad(GLuint vertexArray) {
    glBindVertexArray(vertexArray);
    glEnableVertexAttribArray(kPositionAttribute);
    glEnableVertexAttribArray(kUvAttribute);
}

void drawScreenQuad() {
    glDrawArrays(GL_QUADS, 0, kVertexCount);
}

void unbindScreenQuad() {
    glDisableVertexAttribArray(kPositionAttribute);
    glDisableVertexAttribArray(kUvAttribute);
    glBindVertexArray(0);
}

void deleteScreenQuad(GLuint vertexArray, GLuint vertexBuffer) {
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteVertexArrays(1, &vertexArray);
}
