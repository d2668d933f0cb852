#include "MeshBuilder.h"

#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;

struct BoxFace {
    glm::vec3 normal;
    glm::vec3 up; // texture v direction on the face
};

// Signed area of an XZ outline as seen from above (+Y), positive when counter-clockwise.
float areaSeenFromAbove(const std::vector<glm::vec2>& outline) {
    float area = 0.0f;
    for (size_t i = 0; i < outline.size(); ++i) {
        const glm::vec2 a = outline[i];
        const glm::vec2 b = outline[(i + 1) % outline.size()];
        // Seen from above, screen x is world x and screen y is world -z.
        area += a.x * -b.y - b.x * -a.y;
    }
    return 0.5f * area;
}

// Unit vectors across the axis, with e1 × e2 = axis so that increasing angles wind
// counter-clockwise seen from the axis tip.
void crossBasis(glm::vec3 axis, glm::vec3& e1, glm::vec3& e2) {
    const glm::vec3 helper = std::abs(axis.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    e1 = glm::normalize(glm::cross(axis, helper));
    e2 = glm::cross(axis, e1);
}
} // namespace

void MeshBuilder::addTriangle(const Corner& a, const Corner& b, const Corner& c) {
    triangleCorners.push_back(a);
    triangleCorners.push_back(b);
    triangleCorners.push_back(c);
}

void MeshBuilder::addFlatTriangle(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec2 ua, glm::vec2 ub,
                                  glm::vec2 uc) {
    const glm::vec3 normal = glm::normalize(glm::cross(b - a, c - a));
    addTriangle({a, normal, ua}, {b, normal, ub}, {c, normal, uc});
}

void MeshBuilder::addBox(glm::vec3 min, glm::vec3 max) {
    const BoxFace faces[] = {
        {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {0, 1, 0}},
        {{0, 0, -1}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}}, {{0, -1, 0}, {0, 0, -1}},
    };
    const glm::vec3 centre = 0.5f * (min + max);
    const glm::vec3 half = 0.5f * (max - min);
    const glm::vec2 square[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const BoxFace& face : faces) {
        // Seen from outside, right and up span the face the way x and y span a screen.
        const glm::vec3 right = glm::cross(face.up, face.normal);
        glm::vec3 corner[4];
        for (int i = 0; i < 4; ++i) {
            const glm::vec2 s = square[i] * 2.0f - 1.0f;
            corner[i] = centre + half * (face.normal + s.x * right + s.y * face.up);
        }
        addTriangle({corner[0], face.normal, square[0]}, {corner[1], face.normal, square[1]},
                    {corner[2], face.normal, square[2]});
        addTriangle({corner[0], face.normal, square[0]}, {corner[2], face.normal, square[2]},
                    {corner[3], face.normal, square[3]});
    }
}

void MeshBuilder::addTaperedPrism(const std::vector<glm::vec2>& outlineXZ,
                                  const std::vector<PrismLevel>& levels, float uvPerUnit) {
    std::vector<glm::vec2> outline = outlineXZ;
    if (areaSeenFromAbove(outline) < 0.0f) {
        outline.assign(outlineXZ.rbegin(), outlineXZ.rend());
    }
    glm::vec2 centroid(0.0f);
    for (glm::vec2 p : outline) {
        centroid += p / float(outline.size());
    }
    const size_t n = outline.size();
    std::vector<float> along(n + 1, 0.0f); // perimeter distance, for the side texture
    for (size_t i = 0; i < n; ++i) {
        along[i + 1] = along[i] + glm::length(outline[(i + 1) % n] - outline[i]);
    }
    auto ring = [&](const PrismLevel& level, size_t i) {
        const glm::vec2 p = centroid + (outline[i % n] - centroid) * level.scale;
        return glm::vec3(p.x, level.y, p.y);
    };
    auto capUv = [&](glm::vec3 p) { return glm::vec2(p.x, -p.z) * uvPerUnit; };
    for (size_t k = 0; k + 1 < levels.size(); ++k) {
        const PrismLevel& low = levels[k];
        const PrismLevel& high = levels[k + 1];
        for (size_t i = 0; i < n; ++i) {
            const glm::vec3 b0 = ring(low, i), b1 = ring(low, i + 1);
            const glm::vec3 t0 = ring(high, i), t1 = ring(high, i + 1);
            const glm::vec2 ub0(along[i] * uvPerUnit, low.y * uvPerUnit);
            const glm::vec2 ub1(along[i + 1] * uvPerUnit, low.y * uvPerUnit);
            const glm::vec2 ut0(ub0.x, high.y * uvPerUnit), ut1(ub1.x, high.y * uvPerUnit);
            addFlatTriangle(b0, b1, t1, ub0, ub1, ut1);
            addFlatTriangle(b0, t1, t0, ub0, ut1, ut0);
        }
    }
    const PrismLevel& top = levels.back();
    const PrismLevel& bottom = levels.front();
    for (size_t i = 1; i + 1 < n; ++i) {
        const glm::vec3 a = ring(top, 0), b = ring(top, i), c = ring(top, i + 1);
        addFlatTriangle(a, b, c, capUv(a), capUv(b), capUv(c));
        const glm::vec3 d = ring(bottom, 0), e = ring(bottom, i + 1), f = ring(bottom, i);
        addFlatTriangle(d, e, f, capUv(d), capUv(e), capUv(f));
    }
}

void MeshBuilder::addLathe(glm::vec3 base, glm::vec3 axis, const std::vector<glm::vec2>& profile,
                           int sides) {
    glm::vec3 e1, e2;
    crossBasis(axis, e1, e2);
    float profileLength = 0.0f;
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        profileLength += glm::length(profile[i + 1] - profile[i]);
    }
    float travelled = 0.0f;
    size_t runStart = 0;
    while (runStart + 1 < profile.size()) {
        size_t runEnd = runStart;
        while (runEnd + 1 < profile.size() && profile[runEnd + 1] != profile[runEnd]) {
            ++runEnd;
        }
        // Normals in the (along, radius) plane: per segment, then averaged at inner points.
        std::vector<glm::vec2> segmentNormals;
        for (size_t i = runStart; i < runEnd; ++i) {
            const glm::vec2 d = profile[i + 1] - profile[i];
            segmentNormals.push_back(glm::normalize(glm::vec2(-d.y, d.x)));
        }
        auto pointNormal = [&](size_t i) {
            const size_t k = i - runStart;
            if (k == 0) {
                return segmentNormals.front();
            }
            if (k == segmentNormals.size()) {
                return segmentNormals.back();
            }
            return glm::normalize(segmentNormals[k - 1] + segmentNormals[k]);
        };
        for (size_t i = runStart; i < runEnd; ++i) {
            const float v0 = travelled / profileLength;
            travelled += glm::length(profile[i + 1] - profile[i]);
            const float v1 = travelled / profileLength;
            auto corner = [&](size_t p, int j, float v) {
                const double angle = kTwoPi * j / sides;
                const glm::vec3 radial = float(std::cos(angle)) * e1 + float(std::sin(angle)) * e2;
                const glm::vec2 n = pointNormal(p);
                return Corner{base + axis * profile[p].x + radial * profile[p].y,
                              glm::normalize(axis * n.x + radial * n.y),
                              glm::vec2(float(j) / sides, v)};
            };
            for (int j = 0; j < sides; ++j) {
                const Corner a = corner(i, j, v0), b = corner(i, j + 1, v0);
                const Corner c = corner(i + 1, j + 1, v1), d = corner(i + 1, j, v1);
                if (profile[i].y > 0.0f) {
                    addTriangle(a, b, c);
                }
                if (profile[i + 1].y > 0.0f) {
                    addTriangle(a, c, d);
                }
            }
        }
        runStart = runEnd + 1;
    }
}

void MeshBuilder::addCylinder(glm::vec3 base, glm::vec3 axis, float length, float radius,
                              int sides) {
    addLathe(base, axis,
             {{0, 0}, {0, radius}, {0, radius}, {length, radius}, {length, radius}, {length, 0}},
             sides);
}

void MeshBuilder::addCone(glm::vec3 base, glm::vec3 axis, float length, float radius, int sides) {
    addLathe(base, axis, {{0, 0}, {0, radius}, {0, radius}, {length, 0}}, sides);
}
