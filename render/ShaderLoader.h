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

// The program loadShaders(vertexPath, fragmentPath) makes, printing the same lines, and beside
// it a variant of it: the same text with definition (a line such as "#define GLOW 0") after the
// fragment shader's #version line, compiled and linked from the text already read and without a
// line of its own on standard output. Never fails, as loadShaders.
struct ProgramAndVariant {
    Program program;
    Program variant;
};
ProgramAndVariant loadShadersWithVariant(const std::string& vertexPath,
                                         const std::string& fragmentPath,
                                         const std::string& definition);

// Whether the program linked: one that did not must not be used.
bool isLinked(const Program& program);
