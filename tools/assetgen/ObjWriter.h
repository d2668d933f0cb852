#pragma once

#include "MeshBuilder.h"

#include <string>
#include <vector>

// Writes the parts as one Wavefront OBJ file, one object per part in the given order. Every
// triangle corner gets its own position, texture coordinate and normal line, and faces list
// the corners in triangle order, so an importer without post-processing yields exactly the
// builders' corner lists. False when the file cannot be written.
bool writeObj(const std::string& path, const std::vector<MeshBuilder>& parts);
