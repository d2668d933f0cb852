#pragma once

#include "render/Mesh.h"

#include <box2d/box2d.h>
#include <glm/glm.hpp>

#include <vector>

// The space a solid object occupies: a box footprint in the ground plane (world X → Box2D x,
// world Z → Box2D y) placed by transform, plus a vertical extent from bottom to top. Owners
// size it from their meshes' bounds, so the body matches the drawn model.
class CollisionBody {
public:
    CollisionBody();

    // Resets the body to an empty footprint with the identity transform, then fits it.
    void initBody(const std::vector<Mesh*>& meshes, float heading, glm::vec3 position,
                  glm::vec3 scale);
    // Sizes the footprint from the union of the meshes' bounds times scale, centred on
    // (centre.x, centre.z) and turned by heading (degrees); bottom is centre.y. An empty list
    // gives a zero-size box at the centre and height 0.
    void fitFootprint(const std::vector<Mesh*>& meshes, glm::vec3 scale, float heading,
                      glm::vec3 centre);

    float bottom = 0.0f;
    float top = 0.0f;
    b2PolygonShape shape;
    float height = 0.0f;
    b2Transform transform;
};
