#pragma once

#include <glm/glm.hpp>

#include <string>
#include <vector>

// One corner of a triangle as the game's model loader reads it.
struct Corner {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

// A profile level of a tapered prism: the outline scaled by `scale` about its centroid,
// at height `y`.
struct PrismLevel {
    float y;
    float scale;
};

// Collects the triangles of one named model part. Every triangle is stored with its own three
// corners, counter-clockwise seen from outside, with outward normals.
class MeshBuilder {
public:
    explicit MeshBuilder(std::string name) : partName(std::move(name)) {}

    const std::string& name() const { return partName; }
    const std::vector<Corner>& corners() const { return triangleCorners; }

    void addTriangle(const Corner& a, const Corner& b, const Corner& c);
    // Axis-aligned box with flat faces; each face carries the whole 0..1 texture square, upright
    // (v up) on the four side faces and with v towards -Z on the top and bottom.
    void addBox(glm::vec3 min, glm::vec3 max);
    // Closed solid between the given levels of a convex outline in the XZ plane (either
    // winding), with flat faces; levels ascend in y. Texture coordinates are planar,
    // `uvPerUnit` texture repeats per model unit.
    void addTaperedPrism(const std::vector<glm::vec2>& outlineXZ,
                         const std::vector<PrismLevel>& levels, float uvPerUnit);
    // Surface of revolution about the axis from `base` along unit `axis`. Each profile point is
    // (distance along the axis, radius). Normals are smooth round the axis and along runs of the
    // profile; repeating a point makes a crease there. A closed solid starts and ends its
    // profile on the axis (radius 0). u runs round the axis, v along the profile.
    void addLathe(glm::vec3 base, glm::vec3 axis, const std::vector<glm::vec2>& profile, int sides);
    // Closed cylinder with flat ends, from `base` over `length` along unit `axis`.
    void addCylinder(glm::vec3 base, glm::vec3 axis, float length, float radius, int sides);
    // Closed cone with a flat base disc at `base`, its apex `length` along unit `axis`.
    void addCone(glm::vec3 base, glm::vec3 axis, float length, float radius, int sides);

private:
    // Flat triangle whose normal is taken from its own winding.
    void addFlatTriangle(glm::vec3 a, glm::vec3 b, glm::vec3 c, glm::vec2 ua, glm::vec2 ub,
                         glm::vec2 uc);

    std::string partName;
    std::vector<Corner> triangleCorners;
};
