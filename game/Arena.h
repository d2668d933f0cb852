#pragma once

#include "game/ArenaPiece.h"
#include "render/Mesh.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

// The fixed scenery: two ground slabs at different heights, the walls around
// them and a few blocks, all made from the one box model. Every piece goes into
// the given list, which collision detection and the render passes walk. Nothing
// here is ever released: the arena lives as long as the process.
class Arena {
public:
    Arena(std::vector<ArenaPiece*>* walls, GLuint program);

    // Loads the models and textures and appends the 21 pieces; called once.
    void build();
    void loadModels();
    // Appends, for each of the first count sides (0: +Z, 1: +X, 2: −Z, 3: −X), a
    // visible wall of length, height and thickness around centre, and an
    // invisible twin three times as tall that only collides.
    void addWallRing(const std::vector<int>& sides, int count, glm::vec3 centre, float length,
                     float height, float thickness);

    std::vector<ArenaPiece*>* walls;
    std::vector<Mesh*> wallMeshes;
    std::vector<Mesh*> groundMeshes;
    GLuint program; // not owned
    GLuint groundTexture = 0;
    GLuint wallTexture = 0;

private:
    ArenaPiece* addPiece(const std::vector<Mesh*>* meshes, glm::vec3 position, float heading,
                         glm::vec3 scale);
};

// Every piece of the arena, slabs and invisible walls included; filled by
// Arena::build. It and its pieces live until the process ends.
extern std::vector<ArenaPiece*>& wallList;
