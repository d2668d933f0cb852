#pragma once

#include <glm/glm.hpp>

// One vertex of a mesh's interleaved buffer: 32 bytes, no padding.
struct Vertex {
    glm::vec3 position{0.0f};
    glm::vec3 normal{0.0f};
    glm::vec2 uv{0.0f};
};
static_assert(sizeof(Vertex) == 32, "Vertex is uploaded as 8 tightly packed floats");
