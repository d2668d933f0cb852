#include "game/ArenaPiece.h"

#include "game/Angles.h"

namespace {
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
} // namespace

ArenaPiece::ArenaPiece(PieceKind kind, const Bounds& box, glm::vec3 position, float heading,
                       glm::vec3 scale)
    : kind(kind), position(position), heading(heading), scale(scale),
      halfSize(glm::vec2(box.size().x * scale.x, box.size().z * scale.z) * 0.5f) {
    initBody(box, heading, position, scale);
    modelMatrix =
        glm::scale(rotateDegrees(glm::translate(glm::mat4(1.0f), position), heading, kUp), scale);
}

CollisionBody ArenaPiece::grown(float margin) const {
    CollisionBody body;
    body.shape.SetAsBox(halfSize.x + margin, halfSize.y + margin, b2Vec2(position.x, position.z),
                        footprintRadians(heading));
    body.bottom = bottom - margin;
    body.top = top + margin;
    body.height = body.top - body.bottom;
    return body;
}
