#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A decoded TGA picture: rows tightly packed, bottom row first (the order GL expects for
// texture coordinate t = 0 at the bottom), whatever origin the file declares.
struct TgaImage {
    int width = 0;
    int height = 0;
    int channels = 0; // 1 grey, 3 RGB, 4 RGBA
    std::vector<unsigned char> pixels;
};

// Decodes a TGA file held in memory. Accepted: true-colour (24 or 32 bits) and grey (8 bits)
// images, uncompressed or run-length encoded, without a colour map, at most
// kMaxTgaDimension pixels per side. Anything else, and any file too short for the picture
// its header announces, gives false with image left untouched.
bool decodeTga(const unsigned char* bytes, std::size_t size, TgaImage& image);

// Reads path (bounded in size) and decodes it; false when it is missing or not accepted.
bool readTga(const std::string& path, TgaImage& image);

inline constexpr int kMaxTgaDimension = 4096; // pixels per side
