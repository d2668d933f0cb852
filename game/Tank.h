#pragma once

#include "game/BulletSystem.h"
#include "game/CollisionBody.h"
#include "render/Material.h"
#include "render/Mesh.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

// One vehicle of a match: hull and turret meshes, a hull heading and an independent turret
// heading (degrees; heading h looks along (−sin h, 0, −cos h)), a signed speed (negative
// drives forward), a jump and a number of lives. Driving and friction count updates;
// the jump is timed in milliseconds.
class Tank : public CollisionBody {
public:
    // Both tanks of a match share the same meshes; the first tank destroyed deletes them.
    Tank(BulletSystem* bulletSystem, GLuint program, float x, float y, float z, float startHeading,
         std::vector<Mesh*> hullMeshes, std::vector<Mesh*> turretMeshes);
    ~Tank();
    Tank(const Tank&) = delete;
    Tank& operator=(const Tank&) = delete;

    // One step: friction, move, jump (when jump asks for one and the tank may), the step to a
    // changed floor, and the footprint's transform.
    void update(float dtMs, bool jump);
    // Adds delta to speed only if the result stays strictly inside the speed range.
    void accelerate(float delta);
    // Turns hull and turret together; remembers the hull heading for undoMove.
    void turn(float degrees);
    glm::vec3 forward() const;
    glm::vec3 turretForward() const;
    // Spawns one bullet ahead of the turret, unless the trigger is still held.
    void fire();
    // Reverses the last update's move and turn after a collision; the turret keeps its turn.
    void undoMove();
    void draw();
    void drawShadow(GLuint shadowProgram, GLint modelLocation);

    int id;
    float groundLevel = 0.0f;
    float floorLevel = 0.0f;
    std::vector<Mesh*> topMeshes;
    std::vector<Mesh*> bottomMeshes;
    float turretHeading;
    float heading;
    glm::vec3 position;
    glm::vec3 lastMove{0.0f};
    float jumpTimer = 0.0f;     // milliseconds since the last jump started
    float jumpDuration = 0.0f;  // rise time of the current jump in milliseconds
    BulletSystem* bulletSystem; // not owned
    float speed = 0.0f;
    bool triggerHeld = false;
    bool onGround = true;
    float fallOffset = 0.0f;
    GLuint program; // not owned
    float alpha = 1.0f;
    Material material;
    int lives;
    float previousHeading;
    int initialLives;
    float initialHeading;
    float initialTurretHeading;
    glm::vec3 spawnPosition;

private:
    void updateTransform();
    void applyFriction();
    void updateJump(bool jump);
    void stepToFloor();
};

// Number of tanks made so far: each new tank takes it as its id. Tests reset it.
extern int tanksCreated;
// Whether the shared tank meshes were deleted already. Tests reset it.
extern bool tankMeshesReleased;
// The tanks of the match, the player's first; filled by the scene.
extern std::vector<Tank*>& tankList;
