#include "TankIcon.h"

#include <optional>

namespace {

// Every length is a fraction of the icon's side; y grows downwards as in the picture.
constexpr glm::vec2 kBadgeCentre(0.5f, 0.5f);
constexpr float kBadgeRadius = 0.48f;
constexpr float kGroundLine = 0.72f; // where the badge's sky meets its sand
constexpr float kHazeStart = 0.3f;   // share of the sky's height, from its top, left clear

// A trapezoid with horizontal top and bottom edges.
struct Trapezoid {
    float top;
    float bottom;
    float topLeft;
    float topRight;
    float bottomLeft;
    float bottomRight;
};

constexpr Trapezoid kHull{0.47f, 0.60f, 0.22f, 0.80f, 0.14f, 0.87f};
constexpr Trapezoid kTurret{0.34f, 0.47f, 0.37f, 0.59f, 0.32f, 0.64f};
constexpr Trapezoid kHatch{0.31f, 0.34f, 0.44f, 0.52f, 0.43f, 0.53f};
constexpr Trapezoid kBarrel{0.385f, 0.415f, 0.60f, 0.89f, 0.60f, 0.89f};
constexpr Trapezoid kMuzzle{0.37f, 0.43f, 0.87f, 0.93f, 0.87f, 0.93f};

// The track runs as a band with round ends around the road wheels.
constexpr float kTrackTop = 0.59f;
constexpr float kTrackBottom = 0.77f;
constexpr float kTrackLeft = 0.17f;
constexpr float kTrackRight = 0.84f;
constexpr int kWheelCount = 5;
constexpr float kWheelRadius = 0.055f;
constexpr float kHubRadius = 0.02f;

constexpr glm::vec4 kSky(0.60f, 0.76f, 0.90f, 1.0f);
constexpr glm::vec4 kHorizonHaze(0.86f, 0.90f, 0.92f, 1.0f);
constexpr glm::vec4 kSand(0.84f, 0.74f, 0.52f, 1.0f);
constexpr glm::vec4 kHullColour(0.33f, 0.40f, 0.20f, 1.0f);
constexpr glm::vec4 kTurretColour(0.40f, 0.48f, 0.25f, 1.0f);
constexpr glm::vec4 kGunColour(0.27f, 0.32f, 0.16f, 1.0f);
constexpr glm::vec4 kTrackColour(0.15f, 0.16f, 0.14f, 1.0f);
constexpr glm::vec4 kWheelColour(0.46f, 0.47f, 0.42f, 1.0f);

constexpr int kSamplesPerAxis = 4; // antialiasing: 4 × 4 samples per pixel

bool inside(const Trapezoid& shape, glm::vec2 p) {
    if (p.y < shape.top || p.y > shape.bottom) {
        return false;
    }
    const float t = (p.y - shape.top) / (shape.bottom - shape.top);
    return p.x >= glm::mix(shape.topLeft, shape.bottomLeft, t) &&
           p.x <= glm::mix(shape.topRight, shape.bottomRight, t);
}

bool insideCircle(glm::vec2 centre, float radius, glm::vec2 p) {
    const glm::vec2 d = p - centre;
    return glm::dot(d, d) <= radius * radius;
}

bool insideTrack(glm::vec2 p) {
    const float radius = (kTrackBottom - kTrackTop) / 2.0f;
    const float y = kTrackTop + radius;
    const float x = glm::clamp(p.x, kTrackLeft + radius, kTrackRight - radius);
    return insideCircle(glm::vec2(x, y), radius, p);
}

glm::vec2 wheelCentre(int wheel) {
    const float radius = (kTrackBottom - kTrackTop) / 2.0f;
    const float first = kTrackLeft + radius;
    const float step = (kTrackRight - radius - first) / (kWheelCount - 1);
    return glm::vec2(first + step * wheel, kTrackTop + radius);
}

// The tank's colour at p, front parts first; empty where p misses the tank.
std::optional<glm::vec4> tankAt(glm::vec2 p) {
    for (int wheel = 0; wheel < kWheelCount; ++wheel) {
        if (insideCircle(wheelCentre(wheel), kHubRadius, p)) {
            return kTrackColour;
        }
        if (insideCircle(wheelCentre(wheel), kWheelRadius, p)) {
            return kWheelColour;
        }
    }
    if (insideTrack(p)) {
        return kTrackColour;
    }
    if (inside(kMuzzle, p) || inside(kBarrel, p)) {
        return kGunColour;
    }
    if (inside(kTurret, p) || inside(kHatch, p)) {
        return kTurretColour;
    }
    if (inside(kHull, p)) {
        return kHullColour;
    }
    return std::nullopt;
}

// Colour of one sample; transparent outside the badge.
glm::vec4 sampleAt(glm::vec2 p) {
    if (!insideCircle(kBadgeCentre, kBadgeRadius, p)) {
        return glm::vec4(0.0f);
    }
    if (const std::optional<glm::vec4> tank = tankAt(p)) {
        return *tank;
    }
    if (p.y >= kGroundLine) {
        return kSand;
    }
    const float badgeTop = kBadgeCentre.y - kBadgeRadius;
    const float down = (p.y - badgeTop) / (kGroundLine - badgeTop);
    return glm::mix(kSky, kHorizonHaze, glm::smoothstep(kHazeStart, 1.0f, down));
}

} // namespace

Image makeTankIcon(int size) {
    Image image(size, size, 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Colours are summed weighted by their alpha, so the badge's edge does not darken.
            glm::vec3 colour(0.0f);
            float coverage = 0.0f;
            for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
                for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
                    const glm::vec2 p((x + (sx + 0.5f) / kSamplesPerAxis) / size,
                                      (y + (sy + 0.5f) / kSamplesPerAxis) / size);
                    const glm::vec4 sample = sampleAt(p);
                    colour += glm::vec3(sample) * sample.a;
                    coverage += sample.a;
                }
            }
            const glm::vec3 average = coverage > 0.0f ? colour / coverage : glm::vec3(0.0f);
            image.set(x, y, glm::vec4(average, coverage / (kSamplesPerAxis * kSamplesPerAxis)));
        }
    }
    return image;
}
