#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

// A picture being painted in floating-point colour. Row 0 is the top of the picture; the
// colour channels are clamped to 0..1 only when the file is written.
class Image {
public:
    // channels is 3 (RGB) or 4 (RGBA); every pixel starts transparent black.
    Image(int width, int height, int channels);

    int width() const { return w; }
    int height() const { return h; }
    int channels() const { return c; }

    glm::vec4 at(int x, int y) const { return pixels[index(x, y)]; }
    void set(int x, int y, glm::vec4 colour) { pixels[index(x, y)] = colour; }
    void set(int x, int y, glm::vec3 colour) { pixels[index(x, y)] = glm::vec4(colour, 1.0f); }
    // Pixel at (x, y) with both coordinates wrapped into the picture, for tileable painting.
    glm::vec4& wrapped(int x, int y);

    // Writes an uncompressed TGA; false when the file cannot be written.
    bool writeTga(const std::string& path) const;
    // Writes a PNG; false when the file cannot be written.
    bool writePng(const std::string& path) const;

private:
    // The pixels as bytes, rows top first, channels clamped to 0..1 and scaled to 0..255.
    std::vector<std::uint8_t> bytes() const;
    size_t index(int x, int y) const { return static_cast<size_t>(y) * w + x; }

    int w;
    int h;
    int c;
    std::vector<glm::vec4> pixels;
};
