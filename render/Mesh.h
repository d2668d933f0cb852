#pragma once

#include "render/Vertex.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

// One drawable piece of geometry on the GPU: a vertex array with one interleaved buffer,
// drawn as vertexCount / 3 triangles with its own program and texture. Its model matrix is
// always translation × rotation × scale.
class Mesh {
public:
    // Uploads the vertices at once; the caller may free its array afterwards.
    Mesh(GLuint program, const Vertex* vertices, unsigned int count, GLuint texture);
    virtual ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    virtual void setTranslation(glm::mat4 matrix);
    virtual void setRotation(glm::mat4 matrix);
    virtual void setScale(glm::mat4 matrix);
    virtual glm::mat4 getTranslation();
    virtual glm::mat4 getRotation();
    virtual glm::mat4 getScale();
    virtual void setAlpha(float value);
    // Draws lit with its own program and texture; the caller has set view, projection,
    // light and sampler uniforms on that program.
    virtual void draw();
    // Draws positions only with the given program, for depth-only passes.
    virtual void drawWithProgram(GLuint program, GLint modelLocation);
    virtual void computeBoundingBox(const Vertex* vertices);

    glm::vec3 boundsMin{0.0f};
    glm::vec3 boundsMax{0.0f};
    glm::mat4 translationMatrix{1.0f};
    glm::mat4 rotationMatrix{1.0f};
    glm::mat4 scaleMatrix{1.0f};
    unsigned int vertexCount = 0;
    GLuint shaderProgram = 0;
    GLint modelMatrixLocation = -1;
    GLint alphaLocation = -1;
    float alpha = 1.0f;
    GLuint texture = 0;
    GLuint vertexArray = 0;
    std::vector<GLuint> vertexBuffers;

private:
    void uploadVertices(const Vertex* vertices, unsigned int count);
    glm::mat4 modelMatrix() const { return (translationMatrix * rotationMatrix) * scaleMatrix; }
};
