#pragma once

#include <glm/glm.hpp>

// Perlin noise over the unit square that repeats with period 1 in both directions, so
// textures painted from it tile without seams.
class TileableNoise {
public:
    explicit TileableNoise(int seed) : seed(seed) {}

    // One octave with `cells` lattice cells across the square in each direction; each count
    // must be a power of two no larger than 256. Result roughly in -1..1.
    float octave(glm::vec2 uv, glm::ivec2 cells) const;
    // Sum of `octaves` octaves, the first with `cells` lattice cells, each following one with
    // twice the cells and `gain` times the amplitude; normalised to roughly -1..1.
    float fbm(glm::vec2 uv, glm::ivec2 cells, int octaves, float gain = 0.5f) const;

private:
    int seed;
};
