#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>

// Angles are stored and passed around in degrees everywhere in the game; GLM takes radians,
// so the conversion happens here and only here.
constexpr float kDegreesToRadians = 0.017453293f;
constexpr float kRadiansToDegrees = 57.29578f;

inline glm::mat4 rotateDegrees(const glm::mat4& m, float degrees, const glm::vec3& axis) {
    return glm::rotate(m, degrees * kDegreesToRadians, axis);
}

inline glm::mat4 perspectiveDegrees(float fovyDegrees, float aspect, float zNear, float zFar) {
    return glm::perspective(fovyDegrees * kDegreesToRadians, aspect, zNear, zFar);
}

// Unit vector a heading looks along: heading 0 looks along −Z, and a growing heading turns
// counter-clockwise seen from above (90 looks along −X).
inline glm::vec3 headingDirection(float degrees) {
    const float a = degrees * kDegreesToRadians;
    return glm::normalize(glm::vec3(-std::sin(a), 0.0f, -std::cos(a)));
}
