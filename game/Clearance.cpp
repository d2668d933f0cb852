#include "game/Clearance.h"

#include "game/BodySizes.h"

#include <box2d/b2_distance.h>

#include <cmath>

namespace {
// The height above its floor at which a tank's bottom meets a piece, as the collision rules
// test it (the landing clearance and the step clearance).
constexpr float kBottomAboveFloor = 0.02f; // units
// Two floors closer than this are one.
constexpr float kSameFloor = 0.01f; // units

bool holds(const CollisionBody& body, glm::vec3 point) {
    return body.shape.TestPoint(body.transform, b2Vec2(point.x, point.z));
}
} // namespace

namespace clearance {

bool blocksAt(const ArenaPiece& piece, float floor) {
    return piece.spans(floor + kBottomAboveFloor);
}

bool standsClear(const Arena& arena, glm::vec3 at, float radius, float floor) {
    for (const ArenaPiece& piece : arena.pieces) {
        if (blocksAt(piece, floor) && holds(piece.grown(radius), at)) {
            return false;
        }
    }
    return true;
}

bool drivesClearOf(const ArenaPiece& piece, glm::vec3 from, glm::vec3 to, float radius) {
    const CollisionBody body = piece.grown(radius);
    float fraction = 0.0f;
    return !holds(body, from) && !holds(body, to) && !body.entry(from, to, fraction);
}

bool drivesClear(const Arena& arena, glm::vec3 from, glm::vec3 to, float radius, float floor) {
    for (const ArenaPiece& piece : arena.pieces) {
        if (blocksAt(piece, floor) && !drivesClearOf(piece, from, to, radius)) {
            return false;
        }
    }
    return true;
}

glm::vec2 awayFromNearest(const Arena& arena, const CollisionBody& body, float floor, float reach) {
    b2DistanceInput input;
    input.proxyA.Set(&body.shape, 0);
    input.transformA = body.transform;
    input.useRadii = false;
    float nearest = reach;
    glm::vec2 away(0.0f);
    for (const ArenaPiece& piece : arena.pieces) {
        if (!blocksAt(piece, floor)) {
            continue;
        }
        input.proxyB.Set(&piece.shape, 0);
        input.transformB = piece.transform;
        b2SimplexCache cache;
        cache.count = 0;
        b2DistanceOutput output;
        b2Distance(&output, &cache, &input);
        const glm::vec2 way(output.pointA.x - output.pointB.x, output.pointA.y - output.pointB.y);
        if (output.distance < nearest && glm::dot(way, way) > 0.0f) {
            nearest = output.distance;
            away = glm::normalize(way);
        }
    }
    return away;
}

CollisionBody hullAt(glm::vec3 at, float heading) {
    CollisionBody body;
    body.initBody(kHullBounds, heading, glm::vec3(at.x, 0.0f, at.z), glm::vec3(1.0f));
    return body;
}

bool touches(const CollisionBody& a, const CollisionBody& b) {
    b2Manifold manifold;
    b2CollidePolygons(&manifold, &a.shape, a.transform, &b.shape, b.transform);
    return manifold.pointCount > 0;
}

bool hullClear(const Arena& arena, glm::vec3 at, float heading, float floor) {
    const CollisionBody hull = hullAt(at, heading);
    for (const ArenaPiece& piece : arena.pieces) {
        if (blocksAt(piece, floor) && touches(hull, piece)) {
            return false;
        }
    }
    return true;
}

bool restsOn(const Arena& arena, glm::vec3 at, float halfSide, float floor) {
    const float corners[5][2] = {{0.0f, 0.0f},
                                 {halfSide, halfSide},
                                 {halfSide, -halfSide},
                                 {-halfSide, halfSide},
                                 {-halfSide, -halfSide}};
    for (const auto& corner : corners) {
        if (std::abs(arena.floorAt(at.x + corner[0], at.z + corner[1]) - floor) > kSameFloor) {
            return false;
        }
    }
    return true;
}

} // namespace clearance
