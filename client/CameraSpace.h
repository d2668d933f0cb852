#pragma once

#include "game/ArenaPiece.h"
#include "game/Match.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <vector>

// A box standing upright, turned about the vertical: a piece of the arena or a tank as the
// camera sees it. Its own frame is (along its footprint's x, height, along its footprint's z).
struct UprightBox {
    glm::vec2 centre{0.0f};       // of the footprint, world (x, z)
    glm::vec2 across{1.0f, 0.0f}; // the footprint's own x axis in world (x, z), unit length
    glm::vec2 half{0.0f};         // of the footprint, along its own x and z
    float bottom = 0.0f;
    float top = 0.0f;

    // A piece's box, or a tank's from the ground it stands on up to height.
    static UprightBox of(const ArenaPiece& piece);
    static UprightBox of(const Tank& tank, float height);
    // The same box grown by margin on every side, top and bottom.
    UprightBox grown(float margin) const;

    bool holds(glm::vec3 point) const;
    // Where the segment from a to b enters and leaves the box, as fractions of it (either may
    // lie outside 0..1); false when the line misses the box or the box lies wholly outside
    // the segment.
    bool span(glm::vec3 a, glm::vec3 b, float& in, float& out) const;
    // Whether the segment passes through the box.
    bool crossedBy(glm::vec3 a, glm::vec3 b) const;
    // The point moved out of the box through its nearest face, or as it was when outside.
    glm::vec3 pushedOut(glm::vec3 point) const;

private:
    glm::vec3 local(glm::vec3 point) const;
    glm::vec3 world(glm::vec3 point) const;
};

// The room the chase camera's eye moves in, as one match has it: every visible piece of the
// arena and every tank, each grown by the clearance the eye keeps, so that the near plane
// never reaches into one. A wall at the arena's edge (one with the middle of a long side off
// the ground slabs) reaches up without end, so the eye never looks over it from outside; a ground
// slab reaches down without end. Refilled for each placement into storage reserved once.
class CameraSpace {
public:
    static constexpr float kClearance = 0.3f; // units the eye keeps from any solid
    // The height the camera keeps clear of a tank: the hull with the turret's roof and hatch.
    static constexpr float kTankHeight = 1.1f; // units above its base

    CameraSpace();

    // Takes in the match's arena and tanks. The arena is taken to stand as it did when last
    // filled from it, unless forgotten since.
    void fill(const Match& match);
    // The next fill works the arena out anew: another one may stand where the last one did.
    void forgetArena() { filledFrom = nullptr; }

    // Whether the point is clear of every solid.
    bool clear(glm::vec3 point) const;
    // Whether the segment from a to b passes through no solid.
    bool clearPath(glm::vec3 a, glm::vec3 b) const;
    // Whether the segment from a to b passes through no wall at the arena's edge: b is in sight
    // from a however high it stands, so that the one can always come straight to the other.
    bool inSight(glm::vec3 a, glm::vec3 b) const;
    // Out of sight, the way round: of the upright edges of the first wall at the arena's edge
    // between a and b that stand over the arena's ground and that a can go to straight, the one
    // that makes the shorter way round, seen from above, a little off the wall, at a's height. a
    // itself when b is in sight, or no edge will do.
    glm::vec3 wayRound(glm::vec3 a, glm::vec3 b) const;
    // The point moved out of each solid that holds it in turn, through the nearest face.
    glm::vec3 pushedOut(glm::vec3 point) const;
    // The point raised over every solid that holds it, where one has a top: out of a squeeze
    // between two.
    glm::vec3 liftedOut(glm::vec3 point) const;
    // How far along the unit direction from `from`, up to length, the eye can stand: before
    // it enters a solid that does not hold `from`. leave is where it has left every solid
    // that holds `from` (0 when none does).
    float reach(glm::vec3 from, glm::vec3 direction, float length, float& leave) const;
    // Whether a piece is one of the arena's edge: the middle of one of its long sides (either
    // side of a square) is off every slab. A wall that reaches past the ground only with an end
    // stands in the room.
    static bool atEdge(const ArenaPiece& piece, const Arena& arena);

private:
    std::vector<UprightBox> solids; // the arena's pieces, then the tanks
    std::vector<UprightBox> edges;  // the walls at the arena's edge, among the solids too
    std::vector<UprightBox> ground; // the ground slabs as they stand, the room's floor
    const Arena* filledFrom = nullptr;
    std::size_t pieceCount = 0;
};
