#pragma once

#include "Image.h"

#include <optional>
#include <string>

// The bitmap font: a 512 × 512 RGBA picture of 16 × 16 cells of 32 × 32 pixels, the glyph of
// character code k in column k % 16 and row k / 16 counted from the top. Glyphs are white
// with a dark outline, everything else fully transparent. Codes 32 to 126 are drawn.
// Empty when the font file cannot be read or parsed.
std::optional<Image> makeFontAtlas(const std::string& fontFile);
