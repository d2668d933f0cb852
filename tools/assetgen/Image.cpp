#include "Image.h"

#include <stb/stb_image_write.h>

Image::Image(int width, int height, int channels)
    : w(width), h(height), c(channels), pixels(static_cast<size_t>(width) * height) {}

glm::vec4& Image::wrapped(int x, int y) {
    const int wx = ((x % w) + w) % w;
    const int wy = ((y % h) + h) % h;
    return pixels[index(wx, wy)];
}

std::vector<std::uint8_t> Image::bytes() const {
    std::vector<std::uint8_t> result;
    result.reserve(pixels.size() * c);
    for (const glm::vec4& p : pixels) {
        const glm::vec4 clamped = glm::clamp(p, 0.0f, 1.0f);
        for (int i = 0; i < c; ++i) {
            result.push_back(static_cast<std::uint8_t>(clamped[i] * 255.0f + 0.5f));
        }
    }
    return result;
}

bool Image::writeTga(const std::string& path) const {
    // The writer takes rows top first and stores them with a bottom-left origin.
    stbi_write_tga_with_rle = 0;
    return stbi_write_tga(path.c_str(), w, h, c, bytes().data()) != 0;
}

bool Image::writePng(const std::string& path) const {
    return stbi_write_png(path.c_str(), w, h, c, bytes().data(), w * c) != 0;
}
