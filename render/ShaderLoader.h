#pragma once

#include "render/GlObject.h"

#include <string>

// Reads a shader file as text: every line is preceded by a newline and the last line has
// none after it. A file that cannot be opened gives the empty string, silently.
std::string readShaderSource(const std::string& path);

// Compiles a vertex and a fragment shader file and links them. Never fails: the compile
// and link logs on standard output are the only report, and the program object is returned
// whatever they say.
Program loadShaders(const std::string& vertexPath, const std::string& fragmentPath);

// Whether the program linked: one that did not must not be used.
bool isLinked(const Program& program);
