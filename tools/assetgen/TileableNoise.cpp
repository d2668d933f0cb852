#include "TileableNoise.h"

#include <stb/stb_perlin.h>

namespace {
// Keeps the sample off the integer lattice in z, where Perlin noise is zero everywhere.
constexpr float kSliceDepth = 0.5f;
} // namespace

float TileableNoise::octave(glm::vec2 uv, glm::ivec2 cells) const {
    return stb_perlin_noise3_seed(uv.x * cells.x, uv.y * cells.y, kSliceDepth, cells.x, cells.y, 0,
                                  seed);
}

float TileableNoise::fbm(glm::vec2 uv, glm::ivec2 cells, int octaves, float gain) const {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * octave(uv, cells << i);
        total += amplitude;
        amplitude *= gain;
    }
    return sum / total;
}
