#pragma once

#include "render/Material.h"
#include "render/Model.h"

#include <glm/glm.hpp>

#include <vector>

// One model to draw: where (its whole model matrix), with which material, how opaque, and how
// far it lies from the eye for the drawing order.
struct MeshDraw {
    const Model* model = nullptr;
    glm::mat4 transform{1.0f};
    const Material* material = nullptr;
    float alpha = 1.0f;
    float distance = 0.0f;
};

// What one frame shows of the world. The solid models are drawn front to back, so that the
// depth test spares the work of whatever they hide, without blending; the see-through ones
// after them, back to front, blended. Every entry casts a shadow. The owner keeps one list and
// clears it each frame, so a frame does not allocate.
struct DrawList {
    std::vector<MeshDraw> opaque;
    std::vector<MeshDraw> seeThrough;

    // Files the draw by its opacity.
    void add(const MeshDraw& draw);
    // Puts both lists in drawing order.
    void sort();
    void clear() {
        opaque.clear();
        seeThrough.clear();
    }
};
