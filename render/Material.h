#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

// Where a program takes a material: the locations of "ka", "kd", "ks", "ambientColor",
// "diffuseColor", "specularColor" and "phongPower".
struct MaterialUniforms {
    explicit MaterialUniforms(GLuint program);

    GLint ka;
    GLint kd;
    GLint ks;
    GLint ambientColor;
    GLint diffuseColor;
    GLint specularColor;
    GLint phongPower;
};

// Lighting coefficients and colours of one drawn object.
struct Material {
    // Uploads the values to the current program, which takes them at the given locations.
    void apply(const MaterialUniforms& uniforms) const;

    float ka = 1.0f;
    float kd = 1.0f;
    float ks = 1.0f;
    glm::vec3 ambientColor{1.0f};
    glm::vec3 diffuseColor{1.0f};
    glm::vec3 specularColor{1.0f};
    unsigned int phongPower = 1; // the shader declares it uint
};
