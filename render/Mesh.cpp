#include "render/Mesh.h"

#include <glm/gtc/type_ptr.hpp>

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

Mesh::Mesh(GLuint program, const Vertex* vertices, unsigned int count, GLuint texture)
    : shaderProgram(program), texture(texture) {
    modelMatrixLocation = glGetUniformLocation(shaderProgram, "M");
    alphaLocation = glGetUniformLocation(shaderProgram, "alpha");
    uploadVertices(vertices, count);
    computeBoundingBox(vertices);
}

Mesh::~Mesh() {
    for (GLuint buffer : vertexBuffers) {
        glDeleteBuffers(1, &buffer);
    }
    glDeleteVertexArrays(1, &vertexArray);
}

void Mesh::uploadVertices(const Vertex* vertices, unsigned int count) {
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    vertexBuffers.push_back(buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * kVertexStride, vertices,
                 GL_STATIC_DRAW);
    glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                          attributeOffset(offsetof(Vertex, position)));
    glVertexAttribPointer(kNormalAttribute, 3, GL_FLOAT, GL_FALSE, kVertexStride,
                          attributeOffset(offsetof(Vertex, normal)));
    glVertexAttribPointer(kUvAttribute, 2, GL_FLOAT, GL_FALSE, kVertexStride,
                          attributeOffset(offsetof(Vertex, uv)));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    vertexCount = count;
}

void Mesh::computeBoundingBox(const Vertex* vertices) {
    if (vertexCount == 0) {
        return;
    }
    boundsMin = vertices[0].position;
    boundsMax = vertices[0].position;
    for (unsigned int i = 1; i < vertexCount; ++i) {
        boundsMin = glm::min(boundsMin, vertices[i].position);
        boundsMax = glm::max(boundsMax, vertices[i].position);
    }
}

void Mesh::setTranslation(glm::mat4 matrix) {
    translationMatrix = matrix;
}
void Mesh::setRotation(glm::mat4 matrix) {
    rotationMatrix = matrix;
}
void Mesh::setScale(glm::mat4 matrix) {
    scaleMatrix = matrix;
}
glm::mat4 Mesh::getTranslation() {
    return translationMatrix;
}
glm::mat4 Mesh::getRotation() {
    return rotationMatrix;
}
glm::mat4 Mesh::getScale() {
    return scaleMatrix;
}
void Mesh::setAlpha(float value) {
    alpha = value;
}

void Mesh::draw() {
    glUseProgram(shaderProgram);
    const glm::mat4 model = modelMatrix();
    glUniformMatrix4fv(modelMatrixLocation, 1, GL_FALSE, glm::value_ptr(model));
    glUniform1f(alphaLocation, alpha);
    glBindVertexArray(vertexArray);
    glEnableVertexAttribArray(kPositionAttribute);
    glEnableVertexAttribArray(kNormalAttribute);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnableVertexAttribArray(kUvAttribute);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertexCount));
    glDisableVertexAttribArray(kPositionAttribute);
    glDisableVertexAttribArray(kNormalAttribute);
    glDisableVertexAttribArray(kUvAttribute);
    glBindVertexArray(0);
}

void Mesh::drawWithProgram(GLuint program, GLint modelLocation) {
    glUseProgram(program);
    const glm::mat4 model = modelMatrix();
    glUniformMatrix4fv(modelLocation, 1, GL_FALSE, glm::value_ptr(model));
    glBindVertexArray(vertexArray);
    glEnableVertexAttribArray(kPositionAttribute);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertexCount));
    glDisableVertexAttribArray(kPositionAttribute);
    glBindVertexArray(0);
}
