#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

// Lighting coefficients and colours of one drawn object, uploaded as uniforms of the
// lighting program before its meshes are drawn.
class Material {
public:
    // Looks up the seven uniform locations in program.
    void fetchLocations(GLuint program);
    // Makes program current and uploads the values to the fetched locations.
    void apply(GLuint program) const;

    float ka = 1.0f;
    float kd = 1.0f;
    float ks = 1.0f;
    glm::vec3 ambientColor{1.0f};
    glm::vec3 diffuseColor{1.0f};
    glm::vec3 specularColor{1.0f};
    unsigned int phongPower = 1; // the shader declares it uint

    GLint kaLocation = -1;
    GLint kdLocation = -1;
    GLint ksLocation = -1;
    GLint ambientColorLocation = -1;
    GLint diffuseColorLocation = -1;
    GLint specularColorLocation = -1;
    GLint phongPowerLocation = -1;
};
