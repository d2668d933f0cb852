#include "client/CameraSpace.h"

#include "game/Angles.h"
#include "game/BodySizes.h"

#include <algorithm>
#include <cmath>

namespace {
// Heights that stand for no end: far beyond anything the camera reaches, and finite, so that
// the arithmetic on them stays exact enough.
constexpr float kEndless = 1.0e6f; // units
// A point pushed out of a box lands this far beyond its face, so that it is outside for good.
constexpr float kPastFace = 1.0e-4f; // units
// A corner of a piece counts as off the ground when it is still off it this far inside the
// piece: the walls at the edge stand half off the slabs, the inner ones wholly on them.
constexpr float kEdgeInset = 0.01f;         // units
constexpr std::size_t kReservedSolids = 64; // more than the arena's pieces and the seats
// The way round a wall's corner passes this far off it.
constexpr float kRoundCorner = 0.05f; // units

glm::vec2 acrossOf(float heading) {
    const float radians = footprintRadians(heading);
    return {std::cos(radians), std::sin(radians)};
}
} // namespace

UprightBox UprightBox::of(const ArenaPiece& piece) {
    return {{piece.position.x, piece.position.z},
            acrossOf(piece.heading),
            piece.halfSize,
            piece.bottom,
            piece.top};
}

UprightBox UprightBox::of(const Tank& tank, float height) {
    const glm::vec3 half = kHullBounds.size() * 0.5f;
    return {{tank.position.x, tank.position.z},
            acrossOf(tank.heading),
            {half.x, half.z},
            tank.position.y,
            tank.position.y + height};
}

UprightBox UprightBox::grown(float margin) const {
    UprightBox box = *this;
    box.half += glm::vec2(margin);
    box.bottom -= margin;
    box.top += margin;
    return box;
}

glm::vec3 UprightBox::local(glm::vec3 point) const {
    const glm::vec2 d = glm::vec2(point.x, point.z) - centre;
    const glm::vec2 along(-across.y, across.x);
    return {glm::dot(d, across), point.y, glm::dot(d, along)};
}

glm::vec3 UprightBox::world(glm::vec3 point) const {
    const glm::vec2 along(-across.y, across.x);
    const glm::vec2 at = centre + across * point.x + along * point.z;
    return {at.x, point.y, at.y};
}

bool UprightBox::holds(glm::vec3 point) const {
    if (point.y <= bottom || point.y >= top) {
        return false;
    }
    const float x = point.x - centre.x;
    const float z = point.z - centre.y;
    return std::abs(x * across.x + z * across.y) < half.x &&
           std::abs(z * across.x - x * across.y) < half.y;
}

namespace {
// Narrows [in, out] to where the line from + t × way lies between low and high on one axis;
// false when it never does.
bool clip(float from, float way, float low, float high, float& in, float& out) {
    if (std::abs(way) < 1.0e-9f) {
        return from > low && from < high;
    }
    const float t1 = (low - from) / way;
    const float t2 = (high - from) / way;
    in = std::max(in, std::min(t1, t2));
    out = std::min(out, std::max(t1, t2));
    return true;
}
} // namespace

bool UprightBox::span(glm::vec3 a, glm::vec3 b, float& in, float& out) const {
    // In plain floats: this runs for every solid many times a tick.
    const float c = across.x;
    const float s = across.y;
    const float ax = a.x - centre.x;
    const float az = a.z - centre.y;
    const float bx = b.x - centre.x;
    const float bz = b.z - centre.y;
    const float fromX = ax * c + az * s;
    const float fromZ = az * c - ax * s;
    const float toX = bx * c + bz * s;
    const float toZ = bz * c - bx * s;
    in = -kEndless;
    out = kEndless;
    return clip(fromX, toX - fromX, -half.x, half.x, in, out) &&
           clip(fromZ, toZ - fromZ, -half.y, half.y, in, out) &&
           clip(a.y, b.y - a.y, bottom, top, in, out) && in < out && out > 0.0f && in < 1.0f;
}

bool UprightBox::crossedBy(glm::vec3 a, glm::vec3 b) const {
    float in = 0.0f;
    float out = 0.0f;
    return span(a, b, in, out);
}

glm::vec3 UprightBox::pushedOut(glm::vec3 point) const {
    if (!holds(point)) {
        return point;
    }
    glm::vec3 p = local(point);
    // The distances to the six faces, in the order −x, +x, bottom, top, −z, +z.
    const float faces[] = {p.x + half.x, half.x - p.x, p.y - bottom,
                           top - p.y,    p.z + half.y, half.y - p.z};
    const int nearest =
        static_cast<int>(std::min_element(std::begin(faces), std::end(faces)) - std::begin(faces));
    const float beyond = faces[nearest] + kPastFace;
    p[nearest / 2] += nearest % 2 == 0 ? -beyond : beyond;
    return world(p);
}

CameraSpace::CameraSpace() {
    solids.reserve(kReservedSolids);
    edges.reserve(kReservedSolids);
    ground.reserve(kReservedSolids);
}

bool CameraSpace::atEdge(const ArenaPiece& piece, const Arena& arena) {
    const UprightBox box = UprightBox::of(piece).grown(-kEdgeInset);
    const glm::vec2 along(-box.across.y, box.across.x);
    const auto offGround = [&](glm::vec2 corner) {
        const glm::vec2 at =
            box.centre + box.across * (corner.x * box.half.x) + along * (corner.y * box.half.y);
        return std::none_of(arena.pieces.begin(), arena.pieces.end(), [&](const ArenaPiece& slab) {
            return slab.kind == PieceKind::Ground &&
                   slab.shape.TestPoint(slab.transform, b2Vec2(at.x, at.y));
        });
    };
    // A maze's inner wall joins the outer one with an end, past the ground: it stands in the
    // room all the same.
    for (const float side : {-1.0f, 1.0f}) {
        if ((box.half.x >= box.half.y && offGround({0.0f, side})) ||
            (box.half.y >= box.half.x && offGround({side, 0.0f}))) {
            return true;
        }
    }
    return false;
}

void CameraSpace::fill(const Match& match) {
    // The arena's solids are worked out once for each arena; the tanks' every time.
    if (&match.arena != filledFrom) {
        filledFrom = &match.arena;
        solids.clear();
        edges.clear();
        ground.clear();
        for (const ArenaPiece& piece : match.arena.pieces) {
            if (!piece.visible) {
                continue;
            }
            UprightBox box = UprightBox::of(piece).grown(kClearance);
            if (piece.kind == PieceKind::Ground) {
                box.bottom = -kEndless;
                ground.push_back(UprightBox::of(piece));
            } else if (atEdge(piece, match.arena)) {
                box.top = kEndless;
                edges.push_back(box);
            }
            solids.push_back(box);
        }
        pieceCount = solids.size();
    }
    solids.resize(pieceCount);
    for (const Seat& seat : match.state.seats) {
        if (seat.tank.inPlay()) {
            solids.push_back(UprightBox::of(seat.tank, kTankHeight).grown(kClearance));
        }
    }
}

bool CameraSpace::clear(glm::vec3 point) const {
    return std::none_of(solids.begin(), solids.end(),
                        [&](const UprightBox& box) { return box.holds(point); });
}

bool CameraSpace::clearPath(glm::vec3 a, glm::vec3 b) const {
    return std::none_of(solids.begin(), solids.end(),
                        [&](const UprightBox& box) { return box.crossedBy(a, b); });
}

bool CameraSpace::inSight(glm::vec3 a, glm::vec3 b) const {
    return std::none_of(edges.begin(), edges.end(),
                        [&](const UprightBox& box) { return box.crossedBy(a, b); });
}

glm::vec3 CameraSpace::wayRound(glm::vec3 a, glm::vec3 b) const {
    const UprightBox* first = nullptr;
    float nearest = kEndless;
    for (const UprightBox& box : edges) {
        float in = 0.0f;
        float out = 0.0f;
        if (box.span(a, b, in, out) && in < nearest) {
            nearest = in;
            first = &box;
        }
    }
    if (first == nullptr) {
        return a;
    }
    const glm::vec2 along(-first->across.y, first->across.x);
    const glm::vec2 from(a.x, a.z);
    const glm::vec2 to(b.x, b.z);
    glm::vec2 best(0.0f);
    float shortest = kEndless;
    for (const glm::vec2& corner :
         {glm::vec2(-1, -1), glm::vec2(1, -1), glm::vec2(1, 1), glm::vec2(-1, 1)}) {
        // Just off the corner, outwards from the wall's middle.
        const glm::vec2 offset = first->across * (corner.x * (first->half.x + kRoundCorner)) +
                                 along * (corner.y * (first->half.y + kRoundCorner));
        const glm::vec2 at = first->centre + offset;
        const float way = glm::length(at - from) + glm::length(to - at);
        // Only a corner in the room that it can go to straight, along the wall rather than
        // through it.
        const glm::vec3 corner3(at.x, a.y, at.y);
        const auto under = [&](const UprightBox& box) {
            return box.holds(glm::vec3(at.x, box.top - kPastFace, at.y));
        };
        const bool inRoom = std::any_of(ground.begin(), ground.end(), under) &&
                            std::none_of(edges.begin(), edges.end(), under);
        if (way < shortest && inRoom && !first->crossedBy(a, corner3)) {
            shortest = way;
            best = at;
        }
    }
    return {best.x, a.y, best.y};
}

glm::vec3 CameraSpace::pushedOut(glm::vec3 point) const {
    for (const UprightBox& box : solids) {
        point = box.pushedOut(point);
    }
    return point;
}

glm::vec3 CameraSpace::liftedOut(glm::vec3 point) const {
    // Raised over one, the point may stand in another, taller one: as many rounds as solids.
    for (std::size_t round = 0; round < solids.size(); ++round) {
        bool lifted = false;
        for (const UprightBox& box : solids) {
            if (box.holds(point) && box.top < kEndless) {
                point.y = box.top + kPastFace;
                lifted = true;
            }
        }
        if (!lifted) {
            break;
        }
    }
    return point;
}

float CameraSpace::reach(glm::vec3 from, glm::vec3 direction, float length, float& leave) const {
    const glm::vec3 to = from + direction * length;
    float first = 1.0f;
    float left = 0.0f;
    for (const UprightBox& box : solids) {
        float in = 0.0f;
        float out = 0.0f;
        if (!box.span(from, to, in, out)) {
            continue;
        }
        if (in <= 0.0f) {
            left = std::max(left, out);
        } else {
            first = std::min(first, in);
        }
    }
    leave = left * length;
    return first * length;
}
