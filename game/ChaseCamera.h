#pragma once

#include "game/Arena.h"

#include <glm/glm.hpp>

// The third-person camera: it hangs behind and above the player's tank, opposite to where the
// turret points, looks at a point just above the tank, orbits with a right-button drag and
// zooms with the wheel. Very close, the player's tank turns see-through. It steps with the
// game, and is drawn blended between its last two placements.
//
// A visible piece of the arena standing between the point looked at and the eye moves the eye
// in front of it, along the line to the point looked at; so does the edge of the ground, beyond
// which there is only the back of a wall to see. Where nothing is in the way, the eye stays
// where distance, yaw and pitch put it.
class ChaseCamera {
public:
    static constexpr float kFovDegrees = 45.0f;
    static constexpr float kAspect = 4.0f / 3.0f;
    static constexpr float kNear = 0.1f;  // units
    static constexpr float kFar = 100.0f; // units

    // Starts a step: the current placement becomes the one to blend from.
    void beginStep();
    // Blends no more: every blend shows the latest placement, for a world that stands still.
    void settle() { beginStep(); }
    // Hangs the camera behind the turret of the tank standing at p and looking along t (unit,
    // level), clear of the arena's pieces.
    void place(glm::vec3 p, glm::vec3 t, const Arena& arena);
    // Mouse wheel to distance; wheel is the window's accumulated wheel position in notches.
    void zoom(int wheel);
    // Right-button drag to yaw and pitch; cursor in window pixels.
    void orbit(bool dragging, glm::ivec2 cursor);
    // Adds degrees to the pitch (positive: higher above the tank), unless that leaves the pitch's
    // range, as a vertical drag does.
    void tilt(float degrees);

    // The view blended between the last two placements (blend 0: the previous, 1: the latest);
    // a fixed overview of the arena before the first placement.
    glm::mat4 view(float blend) const;
    glm::mat4 projection() const;
    glm::vec3 eyeAt(float blend) const;
    // The point looked at, blended like the eye.
    glm::vec3 targetAt(float blend) const;
    // Opacity of the player's tank: the zoom's see-through value, lower still while a wall has
    // pulled the eye close to the tank.
    float playerOpacity() const;

    float distance = 10.0f; // units from the tank's position to the eye, always above 0
    float yaw = 0.0f;       // degrees subtracted from the turret heading
    float pitch = 30.0f;    // degrees above the tank's level, strictly between 0 and 90
    glm::vec3 eye{0.0f};
    glm::vec3 target{0.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    float seeThrough = 1.0f; // the player tank's opacity as the zoom last set it

    glm::ivec2 dragPosition{0}; // mouse position at the previous step of a drag
    bool orbitDragging = false; // the right button was held at the previous step
    int lastWheelPosition = 0;  // the wheel position seen by the previous zoom

private:
    glm::vec3 previousEye{0.0f};
    glm::vec3 previousTarget{0.0f};
    bool placed = false;
    float pulledDistance = 0.0f; // eye to target after a wall moved the eye; 0 when none did
};
