#pragma once

#include "render/GlObject.h"

// Makes a GL_TEXTURE_2D from a TGA file: the picture bottom row first with its own channels
// (grey, RGB or RGBA with alpha kept), the full mipmap chain, repeat wrapping in S and T,
// linear magnification and trilinear minification. The new texture is left bound on the
// active unit. A missing or unreadable file is not reported: the texture then has no image
// and samples as black.
Texture loadTexture(const char* path);
