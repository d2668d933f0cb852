#include "game/BulletSystem.h"

#include <utility>

BulletSystem* bulletSystem = nullptr;

namespace {
constexpr float kAmbient = 0.2f;
constexpr float kDiffuse = 0.8f;
constexpr float kSpecular = 1.0f;
constexpr unsigned int kPhongPower = 5;
} // namespace

BulletSystem::BulletSystem(GLuint program, std::vector<Mesh*> meshes)
    : meshes(std::move(meshes)), program(program) {
    material.ka = kAmbient;
    material.kd = kDiffuse;
    material.ks = kSpecular;
    material.ambientColor = glm::vec3(1.0f);
    material.diffuseColor = glm::vec3(1.0f);
    material.specularColor = glm::vec3(1.0f);
    material.phongPower = kPhongPower;
    material.fetchLocations(program);
}

BulletSystem::~BulletSystem() {
    clear();
    for (Mesh* mesh : meshes) {
        delete mesh;
    }
    meshes.clear();
}

void BulletSystem::spawn(glm::vec3 direction, glm::vec3 position, float speed, float lifetime) {
    bullets.push_back(new Bullet(direction, position, speed, lifetime, meshes));
}

void BulletSystem::updateAll(float dtSeconds) {
    for (auto it = bullets.begin(); it != bullets.end();) {
        Bullet* bullet = *it;
        bullet->update(dtSeconds);
        if (bullet->dead) {
            delete bullet;
            it = bullets.erase(it);
        } else {
            ++it;
        }
    }
}

void BulletSystem::clear() {
    for (Bullet* bullet : bullets) {
        delete bullet;
    }
    bullets.clear();
}
