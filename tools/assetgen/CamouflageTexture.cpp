#include "Textures.h"
#include "TileableNoise.h"

namespace {
constexpr int kSize = 512;

// Woodland pattern, from the base coat up: each later colour is painted over the earlier.
constexpr glm::vec3 kOlive(0.45f, 0.45f, 0.26f);
constexpr glm::vec3 kBrown(0.42f, 0.30f, 0.18f);
constexpr glm::vec3 kDarkGreen(0.20f, 0.27f, 0.14f);
constexpr glm::vec3 kBlack(0.09f, 0.09f, 0.08f);
constexpr float kEdgeSoftness = 0.008f; // noise units over which a blob edge fades

// Coverage, 0 or 1 with a thin soft edge, of the blobs where the noise exceeds threshold.
float blob(float noise, float threshold) {
    return glm::smoothstep(threshold - kEdgeSoftness, threshold + kEdgeSoftness, noise);
}
} // namespace

Image makeCamouflageTexture() {
    const TileableNoise brownBlobs(41);
    const TileableNoise greenBlobs(42);
    const TileableNoise blackBlobs(43);
    const TileableNoise wear(44);
    Image image(kSize, kSize, 3);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const glm::vec2 uv(x / float(kSize), y / float(kSize));
            glm::vec3 colour = kOlive;
            colour =
                glm::mix(colour, kBrown, blob(brownBlobs.fbm(uv, glm::ivec2(4), 4, 0.45f), 0.0f));
            colour = glm::mix(colour, kDarkGreen,
                              blob(greenBlobs.fbm(uv, glm::ivec2(4), 4, 0.45f), 0.04f));
            colour =
                glm::mix(colour, kBlack, blob(blackBlobs.fbm(uv, glm::ivec2(8), 3, 0.45f), 0.22f));
            // Worn paint: faint mottling so large flat panels do not look printed.
            const float mottle = 0.06f * wear.fbm(uv, glm::ivec2(32), 4, 0.6f);
            image.set(x, y, colour * (1.0f + mottle));
        }
    }
    return image;
}
