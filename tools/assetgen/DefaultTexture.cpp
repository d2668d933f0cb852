#include "Textures.h"
#include "TileableNoise.h"

namespace {
constexpr int kSize = 256;
constexpr int kCheckerCells = 8;                // checker squares per side
constexpr glm::vec3 kGrey(0.74f, 0.74f, 0.73f); // base colour
constexpr float kCheckerContrast = 0.012f;      // brightness step between squares
constexpr float kGrainContrast = 0.035f;
} // namespace

Image makeDefaultTexture() {
    const TileableNoise grain(11);
    Image image(kSize, kSize, 3);
    const int cell = kSize / kCheckerCells;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const glm::vec2 uv(x / float(kSize), y / float(kSize));
            const float checker = ((x / cell + y / cell) % 2 == 0) ? 1.0f : -1.0f;
            const float shade = kCheckerContrast * checker +
                                kGrainContrast * grain.fbm(uv, glm::ivec2(16), 4, 0.6f);
            image.set(x, y, kGrey + glm::vec3(shade));
        }
    }
    return image;
}
