#pragma once

#include "game/Bounds.h"
#include "game/CollisionBody.h"

#include <glm/glm.hpp>

// What a piece of the arena looks like: ground is drawn with the ground texture, everything
// else with the wall texture.
enum class PieceKind { Ground, Wall };

// One fixed piece of the arena (a ground slab, a wall or a block): the box model stretched per
// axis. Its footprint sits at its place in the ground plane with the identity transform; an
// invisible piece only collides.
class ArenaPiece : public CollisionBody {
public:
    // box are the box model's bounds. position is the centre of the footprint in X and Z and
    // the piece's bottom in Y; heading is in degrees.
    ArenaPiece(PieceKind kind, const Bounds& box, glm::vec3 position, float heading,
               glm::vec3 scale);

    // The footprint grown by margin on every side and the height by margin at both ends: the
    // room a tank of radius margin keeps from the piece.
    CollisionBody grown(float margin) const;

    PieceKind kind;
    glm::vec3 position;
    float heading;      // degrees
    glm::vec3 scale;    // of the box model, per axis
    glm::vec2 halfSize; // of the footprint, along its own x and z
    // translate(position) × rotate(heading about +Y) × scale: the whole model matrix.
    glm::mat4 modelMatrix;
    bool visible = true;
};
