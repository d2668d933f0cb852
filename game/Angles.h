#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

// Angles are stored and passed around in degrees everywhere in the game. This header is the one
// place where they become radians (GLM takes radians), and where a heading becomes a direction.
constexpr float kDegreesToRadians = 0.017453293f;
constexpr float kRadiansToDegrees = 57.29578f;
// Headings read back from a direction (aim, bullet flight) use the exact factor in double
// precision before rounding to float.
constexpr double kRadiansToDegreesExact = 57.29577791868205;
// π to eight places: the rotations of collision footprints and the jump's sine use it.
constexpr float kPi = 3.14159265f;
constexpr float kHalfTurnDegrees = 180.0f;
constexpr float kFullTurnDegrees = 360.0f;

inline glm::mat4 rotateDegrees(const glm::mat4& m, float degrees, const glm::vec3& axis) {
    return glm::rotate(m, degrees * kDegreesToRadians, axis);
}

inline glm::mat4 perspectiveDegrees(float fovyDegrees, float aspect, float zNear, float zFar) {
    return glm::perspective(fovyDegrees * kDegreesToRadians, aspect, zNear, zFar);
}

// Radians of a footprint turned by degrees.
inline float footprintRadians(float degrees) {
    return degrees * kPi / kHalfTurnDegrees;
}

// Unit vector a heading looks along: heading 0 looks along −Z, and a growing heading turns
// counter-clockwise seen from above (90 looks along −X).
inline glm::vec3 headingDirection(float degrees) {
    const float a = degrees * kDegreesToRadians;
    return glm::normalize(glm::vec3(-std::sin(a), 0.0f, -std::cos(a)));
}

// The heading between −180 and 180 of a unit direction in the ground plane.
inline float headingOf(glm::vec3 direction) {
    float heading = std::acos(-direction.z) * kRadiansToDegrees;
    return direction.x > 0.0f ? -heading : heading;
}

// The shortest turn from one heading to another, in (−180, 180].
inline float headingDifference(float from, float to) {
    float difference = std::fmod(to - from, kFullTurnDegrees);
    if (difference > kHalfTurnDegrees) {
        difference -= kFullTurnDegrees;
    } else if (difference <= -kHalfTurnDegrees) {
        difference += kFullTurnDegrees;
    }
    return difference;
}
