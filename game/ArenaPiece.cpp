#include "game/ArenaPiece.h"

#include "render/Math.h"

namespace {
constexpr float kAmbient = 0.4f;
constexpr float kDiffuse = 1.0f;
constexpr float kSpecular = 0.2f;
constexpr unsigned int kPhongPower = 64;
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
} // namespace

ArenaPiece::ArenaPiece(const std::vector<Mesh*>* meshes, glm::vec3 position, float heading,
                       glm::vec3 scale, GLuint program)
    : meshes(meshes), position(position), program(program) {
    initBody(*meshes, heading, position, scale);
    modelMatrix =
        glm::scale(rotateDegrees(glm::translate(glm::mat4(1.0f), position), heading, kUp), scale);
    material.ka = kAmbient;
    material.kd = kDiffuse;
    material.ks = kSpecular;
    material.ambientColor = glm::vec3(1.0f);
    material.diffuseColor = glm::vec3(1.0f);
    material.specularColor = glm::vec3(1.0f);
    material.phongPower = kPhongPower;
    material.fetchLocations(program);
}

void ArenaPiece::draw() {
    if (!visible) {
        return;
    }
    material.apply(program);
    // The meshes' own rotation and scale stay the identity: modelMatrix is the whole matrix.
    for (Mesh* mesh : *meshes) {
        mesh->setTranslation(modelMatrix);
        mesh->draw();
    }
}

void ArenaPiece::drawShadow(GLuint shadowProgram, GLint modelLocation) {
    if (!visible) {
        return;
    }
    for (Mesh* mesh : *meshes) {
        mesh->setTranslation(modelMatrix);
        mesh->drawWithProgram(shadowProgram, modelLocation);
    }
}
