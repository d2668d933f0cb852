#pragma once

// Counts the GL objects the program creates (buffers, vertex arrays, textures, framebuffers,
// renderbuffers, transform feedbacks, queries, samplers, shaders, programs) while installed.
// It hooks the loader's function pointers after glewInit, and glGenTextures through the
// linker's --wrap option.
namespace glObjectCounter {

void install();
void uninstall();
// Objects created since install.
long created();

} // namespace glObjectCounter
