#include "render/Mesh.h"

#include <cstddef>

namespace {
// Attribute slots shared by every program that draws meshes.
constexpr GLuint kPositionAttribute = 0;
constexpr GLuint kNormalAttribute = 1;
constexpr GLuint kUvAttribute = 2;
constexpr GLsizei kVertexStride = sizeof(Vertex);

const void* attributeOffset(size_t offset) {
    return reinterpret_cast<const void*>(offset);
}
} // namespace

Mesh::Mesh(const Vertex* vertices, unsigned int count, GLuint texture)
    : vertexCount(count), texture(texture), vertexArray(VertexArray::create()),
      vertexBuffer(Buffer::create()) {
    glBindVertexArray(vertexArray.name());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * kVertexStride, vertices,
                 GL_STATIC_DRAW);
    // The vertex array keeps the layout and the enabled attributes: a draw only binds it.
    glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                          attributeOffset(offsetof(Vertex, position)));
    glVertexAttribPointer(kNormalAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                          attributeOffset(offsetof(Vertex, normal)));
    glVertexAttribPointer(kUvAttribute, 2, GL_FLOAT, GL_FALSE, kVertexStride,
                          attributeOffset(offsetof(Vertex, uv)));
    glEnableVertexAttribArray(kPositionAttribute);
    glEnableVertexAttribArray(kNormalAttribute);
    glEnableVertexAttribArray(kUvAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void Mesh::draw() const {
    glBindTexture(GL_TEXTURE_2D, texture);
    drawPositions();
}

void Mesh::drawPositions() const {
    glBindVertexArray(vertexArray.name());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertexCount));
    glBindVertexArray(0);
}
