#pragma once

#include "game/Blend.h"
#include "game/Bounds.h"
#include "game/CollisionBody.h"

#include <glm/glm.hpp>

#include <cstdint>

// One shot in flight: a straight horizontal line at constant speed until it hits something
// (collision detection marks it dead) or its lifetime runs out.
class Bullet : public CollisionBody {
public:
    // direction need not be unit length; it must not be zero. bounds are the bullet model's.
    // The footprint is centred on the local origin and turned to the flight heading; transform
    // carries the position. origin is where the shot was fired from (the firing tank's centre
    // at the bullet's height): the path from there to position is checked for walls once.
    // owner is the seat of the tank that fired it; a bullet hits any tank, its owner's too.
    Bullet(glm::vec3 direction, glm::vec3 position, float speed, float lifetime,
           const Bounds& bounds, glm::vec3 origin, int owner);

    // Turns the footprint, sized from bounds, to the flight heading of direction.
    void fitToDirection(const Bounds& bounds);
    // Advances by dtSeconds; marks the bullet dead once its age passes its lifetime.
    void update(float dtSeconds);
    // Where it is blend of the way through its last update (0: previousPosition, 1: position).
    glm::vec3 positionAt(float blend) const { return between(previousPosition, position, blend); }
    // Makes the position drawn between steps the latest one, for a world that stands still.
    void settle() { previousPosition = position; }
    // The heading the model is drawn turned by: the turret heading it was fired with, between
    // −180 and 180 degrees.
    float drawHeading() const;

    glm::vec3 direction; // unit length
    glm::vec3 position;
    float speed;    // units per second
    float age;      // seconds since the bullet was made
    float lifetime; // seconds it may fly
    bool dead;
    glm::vec3 previousPosition; // before the last update, for drawing between steps
    glm::vec3 origin;
    int owner; // seat of the tank that fired it
    // The match tick it was fired in: with the owner, its name, the same on a server, its
    // clients and in a replay.
    std::uint32_t firedTick = 0;
    bool fresh = true; // fired this step: the shot and its path from origin are still to report
};
