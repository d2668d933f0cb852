#pragma once

#include <glm/glm.hpp>

#include <cstddef>

// One particle record: the vertex format the simulation reads and, interleaved in the same
// order, the transform-feedback format it writes. Positions are relative to the emitter.
struct Particle {
    float type;
    glm::vec3 position;
    glm::vec3 velocity;
    float age;
};

// The shaders and the attribute pointers rely on this exact layout.
static_assert(sizeof(Particle) == 32, "Particle must be 32 tightly packed bytes");
static_assert(offsetof(Particle, type) == 0, "type at byte 0");
static_assert(offsetof(Particle, position) == 4, "position at byte 4");
static_assert(offsetof(Particle, velocity) == 16, "velocity at byte 16");
static_assert(offsetof(Particle, age) == 28, "age at byte 28");
