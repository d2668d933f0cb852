#include "render/ShadowRegion.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A plane as (normal, offset): points with dot(normal, p) + offset >= 0 are inside.
using Plane = glm::vec4;

constexpr float kSlack = 1.0e-3f; // units: points on a face count as inside

bool inside(const Plane& plane, glm::vec3 p) {
    return glm::dot(glm::vec3(plane), p) + plane.w >= -kSlack * glm::length(glm::vec3(plane));
}

// The six planes of a view-projection's frustum, from its rows.
std::array<Plane, 6> frustumPlanes(const glm::mat4& m) {
    const glm::vec4 row[4] = {
        {m[0][0], m[1][0], m[2][0], m[3][0]},
        {m[0][1], m[1][1], m[2][1], m[3][1]},
        {m[0][2], m[1][2], m[2][2], m[3][2]},
        {m[0][3], m[1][3], m[2][3], m[3][3]},
    };
    return {row[3] + row[0], row[3] - row[0], row[3] + row[1],
            row[3] - row[1], row[3] + row[2], row[3] - row[2]};
}

std::array<Plane, 6> boxPlanes(const Bounds& box) {
    return {Plane(1, 0, 0, -box.min.x), Plane(-1, 0, 0, box.max.x), Plane(0, 1, 0, -box.min.y),
            Plane(0, -1, 0, box.max.y), Plane(0, 0, 1, -box.min.z), Plane(0, 0, -1, box.max.z)};
}

// A convex body given by its eight corners and six planes; kEdges joins its corners.
struct Hull {
    std::array<glm::vec3, 8> corners;
    std::array<Plane, 6> planes;
};

// Corners by the bits of their index: bit 0 picks x, bit 1 y, bit 2 z. Edges join corners
// that differ in one bit.
constexpr std::array<std::array<int, 2>, 12> kEdges = {{{0, 1},
                                                        {2, 3},
                                                        {4, 5},
                                                        {6, 7},
                                                        {0, 2},
                                                        {1, 3},
                                                        {4, 6},
                                                        {5, 7},
                                                        {0, 4},
                                                        {1, 5},
                                                        {2, 6},
                                                        {3, 7}}};

Hull boxHull(const Bounds& box) {
    Hull hull{{}, boxPlanes(box)};
    for (int i = 0; i < 8; ++i) {
        hull.corners[static_cast<size_t>(i)] =
            glm::vec3(i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y,
                      i & 4 ? box.max.z : box.min.z);
    }
    return hull;
}

Hull frustumHull(const glm::mat4& viewProjection) {
    Hull hull{{}, frustumPlanes(viewProjection)};
    const glm::mat4 toWorld = glm::inverse(viewProjection);
    for (int i = 0; i < 8; ++i) {
        const glm::vec4 corner = toWorld * glm::vec4(i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f,
                                                     i & 4 ? 1.0f : -1.0f, 1);
        hull.corners[static_cast<size_t>(i)] = glm::vec3(corner) / corner.w;
    }
    return hull;
}

bool insideAll(const std::array<Plane, 6>& planes, glm::vec3 p) {
    return std::all_of(planes.begin(), planes.end(),
                       [p](const Plane& plane) { return inside(plane, p); });
}

// Calls add for every corner of the intersection of a and b that is a corner of a inside b,
// or where an edge of a crosses a face of b inside b.
template <typename Add> void cornersOf(const Hull& a, const Hull& b, Add add) {
    for (const glm::vec3& corner : a.corners) {
        if (insideAll(b.planes, corner)) {
            add(corner);
        }
    }
    for (const auto& edge : kEdges) {
        const glm::vec3 from = a.corners[static_cast<size_t>(edge[0])];
        const glm::vec3 to = a.corners[static_cast<size_t>(edge[1])];
        for (const Plane& plane : b.planes) {
            const float f = glm::dot(glm::vec3(plane), from) + plane.w;
            const float t = glm::dot(glm::vec3(plane), to) + plane.w;
            if ((f < 0.0f) != (t < 0.0f)) {
                const glm::vec3 crossing = glm::mix(from, to, f / (f - t));
                if (insideAll(b.planes, crossing)) {
                    add(crossing);
                }
            }
        }
    }
}

} // namespace

TexelRect visibleShadowTexels(const glm::mat4& cameraViewProjection, const Bounds& scene,
                              const glm::mat4& shadowTextureMatrix, int mapSize, int padding) {
    const Hull box = boxHull(scene);
    const Hull frustum = frustumHull(cameraViewProjection);
    glm::vec2 low(1.0e9f);
    glm::vec2 high(-1.0e9f);
    bool any = false;
    const auto add = [&](glm::vec3 p) {
        const glm::vec4 t = shadowTextureMatrix * glm::vec4(p, 1.0f);
        const glm::vec2 texel = glm::vec2(t) / t.w * static_cast<float>(mapSize);
        low = glm::min(low, texel);
        high = glm::max(high, texel);
        any = true;
    };
    cornersOf(box, frustum, add);
    cornersOf(frustum, box, add);
    if (!any) {
        return {};
    }
    const auto clampTexel = [mapSize](float v) {
        return std::clamp(static_cast<int>(std::floor(v)), 0, mapSize);
    };
    const int x0 = clampTexel(low.x - static_cast<float>(padding));
    const int y0 = clampTexel(low.y - static_cast<float>(padding));
    const int x1 = clampTexel(high.x + static_cast<float>(padding) + 1.0f);
    const int y1 = clampTexel(high.y + static_cast<float>(padding) + 1.0f);
    return {x0, y0, x1 - x0, y1 - y0};
}
