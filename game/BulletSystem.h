#pragma once

#include "game/Bullet.h"
#include "render/Material.h"
#include "render/Mesh.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <list>
#include <vector>

// The live bullets and what they are drawn with. Owns the bullets and the bullet meshes.
// The render passes walk bullets themselves: the main pass makes program current and applies
// material once, then draws every bullet.
class BulletSystem {
public:
    BulletSystem(GLuint program, std::vector<Mesh*> meshes);
    ~BulletSystem();
    BulletSystem(const BulletSystem&) = delete;
    BulletSystem& operator=(const BulletSystem&) = delete;

    void spawn(glm::vec3 direction, glm::vec3 position, float speed, float lifetime);
    // Moves every bullet, then deletes those that are dead, whether their lifetime ran out in
    // this update or a hit marked them since the last one.
    void updateAll(float dtSeconds);
    // Deletes every bullet; the meshes stay.
    void clear();

    std::list<Bullet*> bullets; // oldest first
    std::vector<Mesh*> meshes;
    GLuint program; // not owned
    Material material;
};

// The one bullet system of the game, created by the scene.
extern BulletSystem* bulletSystem;
