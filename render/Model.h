#pragma once

#include "game/Bounds.h"
#include "render/Mesh.h"

#include <string>
#include <vector>

// A model file on the GPU: its meshes, all drawn with one texture, and the box around them.
struct Model {
    std::vector<Mesh> meshes;
    Bounds bounds;
};

// Reads and uploads a model file (see ModelData.h for what is accepted and reported). A file
// that cannot be read gives a model without meshes and the zero box. The texture is not owned.
Model loadModel(const std::string& path, GLuint texture);
