#pragma once

#include "assets/Vertex.h"
#include "game/Bounds.h"

#include <string>
#include <vector>

// One mesh of a model file as the game draws it: its vertex list taken three at a time as
// triangles, and the box around its positions.
struct MeshData {
    std::vector<Vertex> vertices;
    Bounds bounds;
};

// Reads a model file into one MeshData per mesh of the file, in file order. The importer runs
// without any post-processing: the file must hold one vertex per triangle corner, in triangle
// order.
//
// A file the importer cannot read, and an OBJ file that fails the check of ObjCheck.h, is
// reported with "Assimp: Could not read file!" on standard error and gives no mesh. A mesh
// whose faces are not exactly the unshared triangles (0,1,2), (3,4,5), ... (polygons, lines,
// points, or vertices shared through the index list) would draw garbage triangles; it is
// reported and skipped while the file's other meshes are kept. A mesh without normals or
// texture coordinates gets zeros there.
std::vector<MeshData> readModel(const std::string& path);

// The box around all the meshes' vertices; the zero box when there are none.
Bounds boundsOf(const std::vector<MeshData>& meshes);
