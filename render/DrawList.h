#pragma once

#include "render/Material.h"
#include "render/Model.h"

#include <glm/glm.hpp>

#include <vector>

// One model to draw: where (its whole model matrix), with which material, how opaque.
struct MeshDraw {
    const Model* model = nullptr;
    glm::mat4 transform{1.0f};
    const Material* material = nullptr;
    float alpha = 1.0f;
};

// What one frame shows of the world, in drawing order: the scenery and the bullets, then,
// after the particle bursts, the tanks. Every entry casts a shadow. The owner keeps one list
// and clears it each frame, so a frame does not allocate.
struct DrawList {
    std::vector<MeshDraw> world;
    std::vector<MeshDraw> tanks;

    void clear() {
        world.clear();
        tanks.clear();
    }
};
