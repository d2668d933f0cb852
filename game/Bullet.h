#pragma once

#include "game/CollisionBody.h"
#include "render/Mesh.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

// One shot in flight: a straight horizontal line at constant speed until it hits something
// (collision detection marks it dead) or its lifetime runs out.
class Bullet : public CollisionBody {
public:
    // direction need not be unit length; it must not be zero. The footprint is centred on
    // the local origin and turned to the flight heading; transform carries the position.
    Bullet(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
           std::vector<Mesh*> meshes);

    // Advances by dtSeconds; marks the bullet dead once its age passes its lifetime.
    void update(float dtSeconds);
    // Main pass: the lighting program and the bullet material must be current already.
    void draw();
    void drawShadow(GLuint shadowProgram, GLint modelLocation);

    std::vector<Mesh*> meshes; // shared with the bullet system, not owned
    glm::vec3 direction;       // unit length
    glm::vec3 position;
    float speed;    // units per second
    float age;      // seconds since the bullet was made
    float lifetime; // seconds it may fly
    bool dead;

private:
    glm::mat4 rotation() const;
    glm::mat4 translation() const;
};
