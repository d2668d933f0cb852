#include "Hash.h"
#include "Textures.h"
#include "TileableNoise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kSize = 512;

constexpr glm::vec3 kDirtDark(0.42f, 0.33f, 0.22f);
constexpr glm::vec3 kDirtLight(0.63f, 0.52f, 0.37f);
constexpr glm::vec3 kGrassDark(0.33f, 0.38f, 0.17f);
constexpr glm::vec3 kGrassLight(0.58f, 0.57f, 0.30f); // sun-dried tips
constexpr glm::vec3 kPebbleBase(0.60f, 0.57f, 0.52f);

constexpr int kPebbleCount = 420;
constexpr float kPebbleMinRadius = 1.6f; // pixels
constexpr float kPebbleMaxRadius = 4.2f;
const glm::vec2 kLightDirection = glm::normalize(glm::vec2(-1.0f, -1.0f)); // from the top left

// Share of grass, 0 (bare dirt) to 1, from the large-scale patch noise.
float grassShare(float patch) {
    return glm::smoothstep(-0.08f, 0.18f, patch);
}

void paintSoil(Image& image, std::vector<float>& grass) {
    const TileableNoise patches(21);
    const TileableNoise soil(22);
    const TileableNoise blades(23);
    const TileableNoise grain(24);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const glm::vec2 uv(x / float(kSize), y / float(kSize));
            const float share = grassShare(patches.fbm(uv, glm::ivec2(4), 5, 0.55f));
            grass[y * kSize + x] = share;
            const float soilTone = 0.5f + 0.6f * soil.fbm(uv, glm::ivec2(16), 4);
            const glm::vec3 dirt =
                glm::mix(kDirtDark, kDirtLight, glm::clamp(soilTone, 0.0f, 1.0f));
            // Tufts of short grass seen from above: fine noise, light tips on dark ground.
            const float bladeTone = blades.fbm(uv, glm::ivec2(64), 3, 0.7f);
            const glm::vec3 turf =
                glm::mix(kGrassDark, kGrassLight, glm::clamp(0.5f + 1.4f * bladeTone, 0.0f, 1.0f));
            const float speckle = 0.07f * grain.octave(uv, glm::ivec2(256));
            image.set(x, y, glm::mix(dirt, turf, share) * (1.0f + speckle));
        }
    }
}

// Small rounded stones lit from the top left, with a soft shadow; mostly on bare dirt.
void paintPebbles(Image& image, const std::vector<float>& grass) {
    for (int i = 0; i < kPebbleCount; ++i) {
        const glm::vec2 centre(hashUnit(i, 1) * kSize, hashUnit(i, 2) * kSize);
        const int cx = static_cast<int>(centre.x);
        const int cy = static_cast<int>(centre.y);
        if (grass[cy * kSize + cx] > hashUnit(i, 3) * 0.9f) {
            continue;
        }
        const float radius =
            glm::mix(kPebbleMinRadius, kPebbleMaxRadius, hashUnit(i, 4) * hashUnit(i, 5));
        const float stretch = 0.7f + 0.5f * hashUnit(i, 6);
        const glm::vec3 tint = kPebbleBase * (0.75f + 0.45f * hashUnit(i, 7)) +
                               glm::vec3(0.04f, 0.02f, 0.0f) * hashUnit(i, 8);
        const int reach = static_cast<int>(std::ceil(radius * 1.6f)) + 2;
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const glm::vec2 offset = glm::vec2(cx + dx, cy + dy) + 0.5f - centre;
                glm::vec4& pixel = image.wrapped(cx + dx, cy + dy);
                // Shadow: the same ellipse moved away from the light.
                const glm::vec2 shadowOffset = offset + kLightDirection * radius * 0.45f;
                const float shadowDistance =
                    glm::length(glm::vec2(shadowOffset.x * stretch, shadowOffset.y)) / radius;
                const float shadow = 1.0f - glm::smoothstep(0.8f, 1.3f, shadowDistance);
                pixel = glm::vec4(glm::vec3(pixel) * (1.0f - 0.35f * shadow), 1.0f);
                const glm::vec2 local(offset.x * stretch / radius, offset.y / radius);
                const float distance = glm::length(local);
                const float cover = 1.0f - glm::smoothstep(0.85f, 1.05f, distance);
                if (cover <= 0.0f) {
                    continue;
                }
                const float height = std::sqrt(std::max(0.0f, 1.0f - distance * distance));
                const glm::vec3 normal = glm::normalize(glm::vec3(local, height + 0.3f));
                const float light =
                    glm::dot(normal, glm::normalize(glm::vec3(kLightDirection, 0.9f)));
                const glm::vec3 stone = tint * (0.55f + 0.6f * std::max(light, 0.0f));
                pixel = glm::vec4(glm::mix(glm::vec3(pixel), stone, cover), 1.0f);
            }
        }
    }
}
} // namespace

Image makeGroundTexture() {
    Image image(kSize, kSize, 3);
    std::vector<float> grass(kSize * kSize);
    paintSoil(image, grass);
    paintPebbles(image, grass);
    return image;
}
