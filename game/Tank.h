#pragma once

#include "game/Blend.h"
#include "game/Bounds.h"
#include "game/BulletSystem.h"
#include "game/CollisionBody.h"

#include <glm/glm.hpp>

// Where a tank stands and looks: what is drawn of it.
struct TankPose {
    glm::vec3 position{0.0f};
    float heading = 0.0f;       // hull, degrees
    float turretHeading = 0.0f; // degrees
};

// One vehicle of a match: a hull heading and an independent turret heading (degrees; heading h
// looks along (−sin h, 0, −cos h)), a signed speed (negative drives forward), a jump and a
// number of lives. Driving and friction count updates, each one fixed step; the jump is timed
// in seconds. A plain value: copied, compared and restored with the rest of a match.
class Tank : public CollisionBody {
public:
    static constexpr float kBulletSpeed = 20.0f;    // units per second
    static constexpr float kBulletLifetime = 10.0f; // seconds
    static constexpr float kMuzzleLift = 0.01f;     // units above the tank's base a shot flies

    // hull is the hull's box, which sizes the footprint and the height.
    Tank(const Bounds& hull, glm::vec3 start, float startHeading);

    // Starts a step: remembers the pose (to draw between steps and to undo a blocked move) and
    // clears the step's jump and landing marks.
    void beginStep();
    // Makes the pose drawn between steps the latest one, for a world that stands still.
    void settle() { previousPose = pose(); }
    // One step: friction, move, jump (when jump asks for one and the tank may), the step to a
    // changed floor, and the footprint's transform.
    void update(float dtSeconds, bool jump);
    // Adds delta to speed only if the result stays strictly inside the speed range.
    void accelerate(float delta);
    // One update of the engine: request 1 drives forward at full power, −1 backward, values
    // between in proportion.
    void drive(float request);
    // Turns hull and turret together.
    void turn(float degrees);
    glm::vec3 forward() const;
    glm::vec3 turretForward() const;
    // Where the tank's shots fly from: its centre, at the height they fly at.
    glm::vec3 shotOrigin() const { return position + glm::vec3(0.0f, kMuzzleLift, 0.0f); }
    // How hard the engine works: the size of the speed as a share of the fastest forward
    // speed, from 0 standing still towards 1.
    float throttle() const;
    // Spawns one bullet into bullets ahead of the turret, fired by seat in the match's tick,
    // unless the trigger is still held; true when it did.
    bool fire(BulletSystem& bullets, int seat, std::uint32_t tick = 0);
    // Reverses this step's move and hull turn after a collision and bounces the speed back;
    // the turret keeps its turn.
    void undoMove();
    // Renews the footprint's transform and height from position and heading.
    void updateTransform();
    // Back at the spawn point with the start's headings and lives, drawn there at once rather
    // than sliding there. Speed, jump and footprint are left as they are.
    void respawn();
    // A battle's tank back in play at a spawn point: standing still on floor (the height of
    // the ground there) at position, facing heading, which become its spawn point; drawn there
    // at once.
    void placeAt(glm::vec3 position, float heading, float floor);
    // Whether the tank is in the match: not destroyed and waiting to come back.
    bool inPlay() const { return respawnTicks == 0; }
    TankPose pose() const { return {position, heading, turretHeading}; }
    // The pose blend of the way from the start of this step to now (0: previousPose, 1: pose),
    // each heading turning the shorter way.
    TankPose poseAt(float blend) const;
    // The position of poseAt(blend): on the straight line from previousPose's to the current one.
    glm::vec3 positionAt(float blend) const {
        return between(previousPose.position, position, blend);
    }

    float groundLevel = 0.0f;
    float floorLevel = 0.0f;
    float turretHeading;
    float heading;
    glm::vec3 position;
    glm::vec3 lastMove{0.0f};
    float jumpTimer = 0.0f;    // seconds since the last jump started
    float jumpDuration = 0.0f; // rise time of the current jump in seconds
    float speed = 0.0f;
    bool triggerHeld = false;
    bool onGround = true;
    float fallOffset = 0.0f;
    int lives;
    int initialLives;
    float initialHeading; // of hull and turret alike, degrees
    glm::vec3 spawnPosition;

    TankPose previousPose; // at the start of this step
    bool tookOff = false;  // a jump started in this step
    bool landed = false;   // a jump ended in this step
    bool blocked = false;  // a collision undid this step's move
    int blockedSteps = 0;  // steps in a row, up to the last one, whose move was undone
    int reloadTicks = 0;   // before the gun can fire again (duel rules)
    int graceTicks = 0;    // during which a hit costs no life (duel rules) or nothing (battle)
    int respawnTicks = 0;  // before a destroyed tank comes back (battle); 0 while in play

private:
    void applyFriction();
    void updateJump(bool jump);
    void stepToFloor();
};
