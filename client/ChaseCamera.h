#pragma once

#include "game/Arena.h"
#include "game/Tank.h"

#include <glm/glm.hpp>

// The third-person camera: it hangs behind and above the player's tank, opposite to where the
// turret points, looks at a point just above the tank, orbits with a right-button drag and
// zooms with the wheel. Zoomed in below kSeeThroughDistance, the player's tank turns
// see-through. It is placed once a tick, after the tick's collisions, from where the tank then
// stands, and drawn blended between its last two placements.
//
// It never shows the inside of a solid piece and never loses its tank. A visible piece of the
// arena standing between the point looked at and the eye moves the eye in front of it, along
// the line to the point looked at; so does the edge of the ground, beyond which there is only
// the back of a wall to see. Where that would bring the eye closer than the see-through
// distance, it rises above the tank and looks down on it instead, and it settles back as the
// way clears. The zoom stays within a range from which the tank is in view.
class ChaseCamera {
public:
    static constexpr float kFovDegrees = 45.0f;
    static constexpr float kAspect = 4.0f / 3.0f;      // of the window the game opens in
    static constexpr float kNear = 0.1f;               // units
    static constexpr float kFar = 100.0f;              // units
    static constexpr float kSeeThroughDistance = 3.0f; // units; closer, the player's tank fades
    static constexpr float kMinDistance = 2.0f;        // units, the closest zoom
    static constexpr float kMaxDistance = 20.0f;       // units, the farthest zoom

    // Starts a tick: the current placement becomes the one to blend from.
    void beginStep();
    // Blends no more: every blend shows the latest placement, for a world that stands still.
    void settle() { beginStep(); }
    // Hangs the camera behind the turret of the tank, clear of the arena's pieces.
    void place(const Tank& tank, const Arena& arena);
    // Mouse wheel to distance; wheel is the window's accumulated wheel position in notches.
    // A notch that would leave the zoom's range is dropped.
    void zoom(int wheel);
    // Right-button drag to yaw and pitch, times the sensitivity; cursor in window pixels.
    // Dragging down raises the eye, or lowers it with the pitch inverted.
    void orbit(bool dragging, glm::ivec2 cursor);
    // Adds degrees to the pitch (positive: higher above the tank), unless that leaves the pitch's
    // range, as a vertical drag does.
    void tilt(float degrees);

    // The view blended between the last two placements (blend 0: the previous, 1: the latest);
    // a fixed overview of the arena before the first placement.
    glm::mat4 view(float blend) const;
    // For a window of width over height aspect.
    static glm::mat4 projection(float aspect = kAspect);
    glm::vec3 eyeAt(float blend) const;
    // The point looked at, blended like the eye.
    glm::vec3 targetAt(float blend) const;
    // Opacity of the player's tank: whole from the see-through distance on, fading as the zoom
    // comes closer.
    float playerOpacity() const;

    float distance = 10.0f; // zoom: units from the tank's position to the eye
    float yaw = 0.0f;       // degrees subtracted from the turret heading
    float pitch = 30.0f;    // degrees above the tank's level, strictly between 0 and 90
    glm::vec3 eye{0.0f};
    glm::vec3 target{0.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    float rise = 0.0f;        // degrees the eye stands higher than pitch, to see past a piece
    float sensitivity = 1.0f; // of the orbit, times its degrees per pixel dragged
    bool invertPitch = false;

    glm::ivec2 dragPosition{0}; // mouse position at the previous tick of a drag
    bool orbitDragging = false; // the right button was held at the previous tick
    int lastWheelPosition = 0;  // the wheel position seen by the previous zoom

private:
    // Places the eye at the given pitch, brought in front of whatever stands in the way; true
    // when that leaves it no closer than the see-through distance (or where nothing is in the
    // way).
    bool eyeAtPitch(glm::vec3 base, float turretHeading, float pitchDegrees, const Arena& arena,
                    glm::vec3& placed) const;

    glm::vec3 previousEye{0.0f};
    glm::vec3 previousTarget{0.0f};
    bool placed = false;
};
