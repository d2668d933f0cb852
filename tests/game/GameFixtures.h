#pragma once

#include "game/BulletSystem.h"
#include "game/Tank.h"
#include "render/Mesh.h"
#include "support/GlContext.h"
#include "support/VecExpect.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <memory>
#include <vector>

// A mesh that counts its draw calls and still draws.
class CountingMesh : public Mesh {
public:
    CountingMesh(GLuint program, const Vertex* vertices, unsigned int count)
        : Mesh(program, vertices, count, 0) {}
    void draw() override {
        ++draws;
        Mesh::draw();
    }
    void drawWithProgram(GLuint program, GLint modelLocation) override {
        ++shadowDraws;
        Mesh::drawWithProgram(program, modelLocation);
    }
    int draws = 0;
    int shadowDraws = 0;
};

// A one-triangle mesh whose bounds are exactly low..high.
CountingMesh* makeBoundsMesh(GLuint program, glm::vec3 low, glm::vec3 high);

// A small program with the lighting program's uniforms ("M", "alpha" and the material's
// seven), so that the locations the game objects fetch are real.
GLuint makeLightingProgram();

// GL context plus a lighting program; game module state is reset before every test.
class GameTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    GLuint program = 0;
};

// Adds tanks sharing one hull (2 × 1 × 2, standing on y = 0) and one turret mesh, and a bullet
// system with a small bullet mesh (0.2 × 0.1 × 0.4) they fire into.
class TankWorldTest : public GameTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Tanks are made, and so numbered, in the order of the calls.
    Tank& addTank(glm::vec3 position, float heading = 0);

    CountingMesh* hull = nullptr;
    CountingMesh* turret = nullptr;
    std::unique_ptr<BulletSystem> bullets;
    std::vector<std::unique_ptr<Tank>> tanks;
};
