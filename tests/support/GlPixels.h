#pragma once

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <vector>

using Rgba = std::array<std::uint8_t, 4>;

// A 2D texture from tightly packed RGBA bytes, first row at t = 0, sampled nearest with
// clamped edges so each texel's colour reaches the screen unblended. The caller deletes it.
GLuint makeTexture(int width, int height, const std::vector<std::uint8_t>& rgba);

// One pixel of the default framebuffer's back buffer, (0, 0) at the bottom-left.
Rgba readPixel(int x, int y);

// The whole 1024 × 768 back buffer, row by row from the bottom.
std::vector<Rgba> readFrame();

// A window-sized 2D texture's level 0 (a scene target), RGBA bytes row by row from the bottom.
std::vector<unsigned char> readTargetPixels(GLuint texture);
