#pragma once

#include "game/Bounds.h"

#include <box2d/box2d.h>
#include <glm/glm.hpp>

// The space a solid object occupies: a box footprint in the ground plane (world X → Box2D x,
// world Z → Box2D y) placed by transform, plus a vertical extent from bottom to top. Owners
// size it from their model's bounds, so the body matches the drawn model.
class CollisionBody {
public:
    CollisionBody();

    // Resets the body to an empty footprint with the identity transform, then fits it.
    void initBody(const Bounds& bounds, float heading, glm::vec3 position, glm::vec3 scale);
    // Sizes the footprint from bounds times scale, centred on (centre.x, centre.z) and turned by
    // heading (degrees); bottom is centre.y and top bottom plus the scaled height.
    void fitFootprint(const Bounds& bounds, glm::vec3 scale, float heading, glm::vec3 centre);

    // Whether height y lies strictly between bottom and top.
    bool spans(float y) const { return bottom < y && y < top; }
    // Where the segment from `from` to `to`, seen from above, enters the footprint: true with
    // fraction set (0 at from, 1 at to), false when it misses it or starts inside.
    bool entry(glm::vec3 from, glm::vec3 to, float& fraction) const;

    float bottom = 0.0f;
    float top = 0.0f;
    b2PolygonShape shape;
    float height = 0.0f;
    b2Transform transform;
};
