#include "game/CollisionBody.h"

namespace {
constexpr float kPi = 3.14159265f;
constexpr float kHalfTurnDegrees = 180.0f;
} // namespace

CollisionBody::CollisionBody() {
    transform.SetIdentity();
}

void CollisionBody::initBody(const std::vector<Mesh*>& meshes, float heading, glm::vec3 position,
                             glm::vec3 scale) {
    shape.m_radius = b2_polygonRadius;
    bottom = 0.0f;
    top = 0.0f;
    height = 0.0f;
    transform.SetIdentity();
    fitFootprint(meshes, scale, heading, position);
}

void CollisionBody::fitFootprint(const std::vector<Mesh*>& meshes, glm::vec3 scale, float heading,
                                 glm::vec3 centre) {
    glm::vec3 boundsMin(0.0f);
    glm::vec3 boundsMax(0.0f);
    if (!meshes.empty()) {
        boundsMin = meshes.front()->boundsMin;
        boundsMax = meshes.front()->boundsMax;
        for (const Mesh* mesh : meshes) {
            boundsMin = glm::min(boundsMin, mesh->boundsMin);
            boundsMax = glm::max(boundsMax, mesh->boundsMax);
        }
    }
    const float halfX = (boundsMax.x - boundsMin.x) * scale.x * 0.5f;
    const float halfZ = (boundsMax.z - boundsMin.z) * scale.z * 0.5f;
    height = (boundsMax.y - boundsMin.y) * scale.y;
    shape.SetAsBox(halfX, halfZ, b2Vec2(centre.x, centre.z), heading * kPi / kHalfTurnDegrees);
    bottom = centre.y;
    top = centre.y + height;
}
