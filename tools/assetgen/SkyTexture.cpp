#include "Textures.h"
#include "TileableNoise.h"

#include <cmath>

namespace {
constexpr int kWidth = 1024;
constexpr int kHeight = 512;

// Heights as fractions of the picture measured from its top.
constexpr float kHorizon = 0.74f;     // where the sky meets the far hills' feet
constexpr float kFarHills = 0.70f;    // mean crest line of the far range
constexpr float kNearHills = 0.82f;   // mean crest line of the near range
constexpr float kCloudBottom = 0.62f; // clouds thin out towards the horizon below this

constexpr glm::vec3 kZenith(0.17f, 0.38f, 0.72f);
constexpr glm::vec3 kMidSky(0.40f, 0.62f, 0.88f);
constexpr glm::vec3 kHaze(0.86f, 0.87f, 0.84f);
constexpr glm::vec3 kWarmHaze(0.96f, 0.88f, 0.74f);
constexpr glm::vec3 kCloudLit(1.0f, 0.99f, 0.96f);
constexpr glm::vec3 kCloudShade(0.66f, 0.71f, 0.80f);
constexpr glm::vec3 kFarHillColour(0.47f, 0.57f, 0.63f);
constexpr glm::vec3 kNearHillColour(0.27f, 0.35f, 0.22f);
constexpr glm::vec3 kFieldColour(0.36f, 0.40f, 0.22f);

constexpr float kShadeProbe = 10.0f / kHeight; // how far above a point its cloud shade is read

glm::vec3 skyGradient(float t) {
    if (t < 0.45f) {
        return glm::mix(kZenith, kMidSky, glm::smoothstep(0.0f, 0.45f, t));
    }
    const glm::vec3 haze = glm::mix(kMidSky, kHaze, glm::smoothstep(0.45f, kHorizon, t));
    return glm::mix(haze, kWarmHaze, glm::smoothstep(kHorizon - 0.12f, kHorizon + 0.02f, t));
}

class Clouds {
public:
    // Cloud density 0..1 at u across, t down the picture.
    float density(float u, float t) const {
        if (t <= 0.0f || t >= kHorizon) {
            return 0.0f;
        }
        // Wide flat cells: clouds read as seen from below at a slant.
        const float n = shape.fbm(glm::vec2(u, t), glm::ivec2(4, 4), 6, 0.5f);
        const float band = glm::smoothstep(0.0f, 0.12f, t) *
                           (1.0f - glm::smoothstep(kCloudBottom - 0.2f, kHorizon - 0.04f, t));
        return glm::smoothstep(0.0f, 0.45f, n) * band;
    }

private:
    TileableNoise shape{51};
};

// Crest line of a hill range as a fraction from the top, varying across the picture:
// broad swells plus a rougher fringe (ridges on the far range, tree tops on the near one).
float crest(const TileableNoise& noise, float u, float mean, float swell, int cells, float fringe) {
    const float broad = noise.fbm(glm::vec2(u, 0.37f), glm::ivec2(cells, 1), 4);
    const float rough = noise.fbm(glm::vec2(u, 0.71f), glm::ivec2(64, 1), 3);
    return mean - swell * glm::clamp(0.5f + 1.6f * broad, 0.0f, 1.0f) - fringe * std::abs(rough);
}
} // namespace

Image makeSkyTexture() {
    const Clouds clouds;
    const TileableNoise farRange(52);
    const TileableNoise nearRange(53);
    const TileableNoise texture(54);
    Image image(kWidth, kHeight, 3);
    const float pixel = 1.0f / kHeight;
    for (int x = 0; x < kWidth; ++x) {
        const float u = x / float(kWidth);
        const float farCrest = crest(farRange, u, kFarHills, 0.14f, 2, 0.02f);
        const float nearCrest = crest(nearRange, u, kNearHills, 0.08f, 4, 0.025f);
        for (int y = 0; y < kHeight; ++y) {
            const float t = y / float(kHeight);
            glm::vec3 colour = skyGradient(t);
            const float cloud = clouds.density(u, t);
            if (cloud > 0.0f) {
                // Lit tops, shaded bellies: darker where there is more cloud above than below.
                const float above = clouds.density(u, t - kShadeProbe);
                const float below = clouds.density(u, t + kShadeProbe);
                const float shade = glm::clamp(1.6f * (above - below) + 0.35f * above, 0.0f, 1.0f);
                colour = glm::mix(colour, glm::mix(kCloudLit, kCloudShade, shade), cloud);
            }
            const float detail = texture.fbm(glm::vec2(u, t), glm::ivec2(64, 32), 3);
            const float farCover = glm::smoothstep(farCrest - pixel, farCrest + pixel, t);
            // Aerial perspective: the far range fades into the haze at its feet.
            const glm::vec3 farColour = glm::mix(kFarHillColour * (1.0f + 0.03f * detail), kHaze,
                                                 0.45f * glm::smoothstep(farCrest, kHorizon, t));
            colour = glm::mix(colour, farColour, farCover);
            const float nearCover = glm::smoothstep(nearCrest - pixel, nearCrest + pixel, t);
            const float depth = glm::smoothstep(nearCrest, 1.0f, t);
            const glm::vec3 nearColour =
                glm::mix(kNearHillColour, kFieldColour, depth) * (1.0f + 0.12f * detail);
            colour = glm::mix(colour, nearColour, nearCover);
            image.set(x, y, colour);
        }
    }
    return image;
}
