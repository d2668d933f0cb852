#pragma once

#include "game/AiController.h"
#include "game/Arena.h"
#include "game/Bounds.h"
#include "game/BulletSystem.h"
#include "game/ChaseCamera.h"
#include "game/CollisionDetector.h"
#include "game/GameEvent.h"
#include "game/PlayerInput.h"
#include "game/Tank.h"

// The models' bounds that size the collision bodies.
struct ModelBounds {
    Bounds hull;   // a tank's hull
    Bounds bullet; // a bullet
    Bounds box;    // the box every arena piece is stretched from
};

// One match on the arena: the player's tank, the computer's tank and its controller, the
// bullets, the collision rules and the chase camera, stepped together one fixed step at a time.
class Match {
public:
    // aiSeed seeds the computer opponent's random choices.
    Match(const ModelBounds& bounds, unsigned int aiSeed);
    Match(const Match&) = delete;
    Match& operator=(const Match&) = delete;

    // One step of dtSeconds with the player's input, in a fixed order: the computer's tank,
    // the bullets, the player's driving, turning and jump, the turret, the camera's placement
    // and zoom, firing, the camera's orbit, then the collisions. What happened is appended to
    // events.
    void step(const PlayerInput& input, float dtSeconds, EventList& events);
    // Both tanks back at their start with full lives, no bullets. Speeds, jumps and the
    // computer's state carry over; the camera keeps its distance, yaw and pitch.
    void restart();
    // For the steps in which the match does not run: every pose drawn between steps becomes the
    // latest, so that the picture of a frozen match stands still whatever the blend.
    void settle();

    BulletSystem bullets;
    Tank aiTank;
    Tank playerTank;
    Arena arena;
    AiController ai;
    CollisionDetector detector;
    ChaseCamera camera;
};
