#pragma once

#include "game/CollisionBody.h"
#include "render/Material.h"
#include "render/Mesh.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

// One fixed piece of the arena (a ground slab, a wall or a block): the shared box model
// stretched per axis. Its footprint sits at its place in the ground plane with the identity
// transform; an invisible piece only collides.
class ArenaPiece : public CollisionBody {
public:
    // meshes is shared by all pieces of one kind and must outlive the piece. position is the
    // centre of the footprint in X and Z and the piece's bottom in Y; heading is in degrees.
    ArenaPiece(const std::vector<Mesh*>* meshes, glm::vec3 position, float heading, glm::vec3 scale,
               GLuint program);

    void draw();
    void drawShadow(GLuint shadowProgram, GLint modelLocation);

    const std::vector<Mesh*>* meshes; // not owned
    glm::vec3 position;
    glm::mat4 modelMatrix; // translation × rotation × scale, the whole model matrix
    bool visible = true;
    Material material;
    GLuint program; // not owned
};
