#include "Hash.h"
#include "Textures.h"
#include "TileableNoise.h"

#include <algorithm>
#include <vector>

namespace {
constexpr int kSize = 512;
constexpr int kCourses = 8;              // rows of blocks; the height divides kSize
constexpr int kMinBlockWidth = 56;       // pixels
constexpr int kMaxBlockWidth = 120;      // pixels
constexpr float kMortarHalfWidth = 3.0f; // pixels on each side of a joint
constexpr float kBevelWidth = 5.0f;      // pixels of lit or shaded block edge

constexpr glm::vec3 kStone(0.62f, 0.58f, 0.52f);
constexpr glm::vec3 kSandstone(0.70f, 0.60f, 0.46f);
constexpr glm::vec3 kGreyStone(0.55f, 0.56f, 0.57f);
constexpr glm::vec3 kMortar(0.40f, 0.38f, 0.35f);
constexpr glm::vec3 kGrime(0.20f, 0.19f, 0.16f);

// Joint positions of one course, ascending, as a cycle over the texture width: block k spans
// from joint k to joint k + 1, the last block wrapping round to the first joint.
std::vector<int> courseJoints(int course) {
    std::vector<int> joints;
    const int start = static_cast<int>(hashUnit(course, 100) * kSize);
    int position = 0;
    for (int k = 0; position < kSize; ++k) {
        joints.push_back((start + position) % kSize);
        position += kMinBlockWidth +
                    static_cast<int>(hashUnit(course, k, 101) * (kMaxBlockWidth - kMinBlockWidth));
        if (kSize - position < kMinBlockWidth) {
            break; // the last block takes the rest of the width
        }
    }
    std::sort(joints.begin(), joints.end());
    return joints;
}

struct BlockHit {
    int block;   // index of the block in its course
    float left;  // pixel distance to the block's left joint
    float right; // and to its right joint
};

BlockHit findBlock(const std::vector<int>& joints, int x) {
    const int n = static_cast<int>(joints.size());
    for (int k = 0; k < n; ++k) {
        const int from = joints[k];
        const int to = joints[(k + 1) % n];
        const int width = ((to - from) % kSize + kSize) % kSize;
        const int offset = ((x - from) % kSize + kSize) % kSize;
        if (offset < width || (n == 1)) {
            return {k, offset + 0.5f, width - offset - 0.5f};
        }
    }
    return {0, 0.0f, 0.0f};
}

glm::vec3 blockTint(int course, int block) {
    const float kind = hashUnit(course, block, 1);
    const glm::vec3 hue = kind < 0.5f ? glm::mix(kGreyStone, kStone, kind * 2.0f)
                                      : glm::mix(kStone, kSandstone, kind * 2.0f - 1.0f);
    return hue * (0.84f + 0.24f * hashUnit(course, block, 2));
}
} // namespace

Image makeWallTexture() {
    const TileableNoise surface(31);
    const TileableNoise grain(32);
    const TileableNoise streaks(33);
    const TileableNoise chips(34);
    const TileableNoise blotches(35);
    const int courseHeight = kSize / kCourses;
    std::vector<std::vector<int>> joints;
    for (int course = 0; course < kCourses; ++course) {
        joints.push_back(courseJoints(course));
    }
    Image image(kSize, kSize, 3);
    for (int y = 0; y < kSize; ++y) {
        const int course = y / courseHeight;
        const float top = (y % courseHeight) + 0.5f;
        const float bottom = courseHeight - top;
        for (int x = 0; x < kSize; ++x) {
            const glm::vec2 uv(x / float(kSize), y / float(kSize));
            const BlockHit hit = findBlock(joints[course], x);
            // Chipped edges: the joint line wanders by a pixel or two.
            const float chip = 1.6f * chips.fbm(uv, glm::ivec2(32), 3);
            const float edge = std::min(std::min(hit.left, hit.right), std::min(top, bottom));
            const float inside = edge - kMortarHalfWidth + chip;
            const float grainTone = grain.octave(uv, glm::ivec2(128));
            const float grime = glm::clamp(0.5f * streaks.fbm(uv, glm::ivec2(64, 4), 3) +
                                               0.5f * blotches.fbm(uv, glm::ivec2(4), 4) + 0.15f,
                                           0.0f, 1.0f);
            glm::vec3 colour;
            if (inside <= 0.0f) {
                colour = kMortar * (0.85f + 0.15f * grainTone + 0.1f * inside / kMortarHalfWidth);
            } else {
                auto bevel = [](float distance) {
                    return std::max(0.0f, 1.0f - distance / kBevelWidth);
                };
                const float lit =
                    bevel(top - kMortarHalfWidth) + bevel(hit.left - kMortarHalfWidth);
                const float shaded =
                    bevel(bottom - kMortarHalfWidth) + bevel(hit.right - kMortarHalfWidth);
                const float tone = 1.0f + 0.10f * surface.fbm(uv, glm::ivec2(16), 4) +
                                   0.05f * grainTone + 0.14f * lit - 0.22f * shaded;
                colour = blockTint(course, hit.block) * tone;
            }
            image.set(x, y, glm::mix(colour, kGrime, 0.45f * grime * grime));
        }
    }
    return image;
}
