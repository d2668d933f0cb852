#pragma once

#include <glm/glm.hpp>

// An axis-aligned box in a model's own space: what the collision bodies are sized from. The
// models stand on y = 0 and are centred on their origin in X and Z. A model without geometry
// (a file that failed to load) has the zero box.
struct Bounds {
    glm::vec3 min{0.0f};
    glm::vec3 max{0.0f};

    glm::vec3 size() const { return max - min; }
};

// The smallest box holding both.
inline Bounds unite(const Bounds& a, const Bounds& b) {
    return {glm::min(a.min, b.min), glm::max(a.max, b.max)};
}
