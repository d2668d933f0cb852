#pragma once

#include "render/Mesh.h"

#include <GL/glew.h>

#include <string>
#include <vector>

// Reads a model file and appends one Mesh per mesh of the file, in file order, each drawn with
// program and texture; the caller owns the appended meshes. The importer runs without any
// post-processing: a mesh is drawn as its vertex list taken three at a time, so the file must
// hold one vertex per triangle corner, in triangle order.
//
// A file the importer cannot read, and an OBJ file that fails the check of ObjCheck.h, is
// reported with "Assimp: Could not read file!" on standard error and appends nothing.
// A mesh whose faces are not exactly the unshared triangles (0,1,2), (3,4,5), ... (polygons,
// lines, points, or vertices shared through the index list) would draw garbage triangles;
// it is reported and skipped while the file's other meshes are appended. A mesh without
// normals or texture coordinates gets zeros there.
void loadModel(const std::string& path, GLuint program, GLuint texture, std::vector<Mesh*>& meshes);
