#pragma once

#include "client/CameraSpace.h"
#include "game/ArenaPiece.h"
#include "game/Match.h"
#include "game/Tank.h"

#include <glm/glm.hpp>

// The third-person camera: it hangs behind and above the player's tank and looks at a point
// just above it, zooms with the wheel and orbits with a right-button drag. It looks the way the
// turret points, turned by the drag's yaw; with free look (mouse aim) it looks the way the
// mouse turned it instead, and the turret is aimed along it. Zoomed in, or brought in close by
// a wall, the player's tank turns see-through. It is placed once a tick, after the tick's
// collisions, from where the tank then stands, and drawn blended between its last two
// placements.
//
// Where it wants to be: on the line from the point looked at to where the zoom and pitch put
// it, in front of the first piece, tank or edge of the arena on that line; where that comes
// closer than the closest zoom, looking down more steeply the same way, as little as gives it
// that room, up to kMaxPitch, and at worst kMinDistance from the point looked at. It settles
// back down as the way clears.
//
// Where it is: the eye goes there at most kMaxEyeStep a tick, round the point looked at, through
// the room the arena leaves (CameraSpace), never into a piece or a tank, never past the walls at
// the arena's edge nor round a corner of them out of sight of the point looked at, never
// steeper than kMaxPitch above that point nor nearer to it than kMinDistance. Only when the
// tank is put somewhere new (a new life, a new match), or squeezed so that no move of a tick
// gets it clear, does it cut there at once. A piece it then has between itself and the tank is
// drawn see-through (hidesTank): the view the player aims with stays where it is rather than
// jumping over or in front of the piece.
class ChaseCamera {
public:
    static constexpr float kFovDegrees = 45.0f;        // vertical, in a window at least 4:3
    static constexpr float kAspect = 4.0f / 3.0f;      // of the window the game opens in
    static constexpr float kNear = 0.1f;               // units
    static constexpr float kFar = 100.0f;              // units
    static constexpr float kSeeThroughDistance = 3.0f; // units; closer, the player's tank fades
    static constexpr float kMinZoom = 2.0f;            // units, the closest zoom
    static constexpr float kMaxZoom = 20.0f;           // units, the farthest zoom
    // Where the eye may stand, whatever stands in its way. The steepest it looks down on the
    // point it looks at, in degrees above the level there: never down on the tank's roof.
    static constexpr float kMaxPitch = 60.0f;
    // The nearest it comes to that point, in units: with the tank backed flush against a wall
    // it fits between them at kMaxPitch.
    static constexpr float kMinDistance = 1.25f;
    // The farthest the eye moves in one tick, in units (60 units a second).
    static constexpr float kMaxEyeStep = 1.0f;
    // The tank counts as put somewhere new when the point looked at moved farther in a tick.
    static constexpr float kCutDistance = 4.0f; // units

    // Starts a tick: the current placement becomes the one to blend from.
    void beginStep();
    // Blends no more: every blend shows the latest placement, for a world that stands still.
    void settle() { beginStep(); }
    // The arena changed: the next placement works its room out anew.
    void forgetArena() { space.forgetArena(); }
    // Hangs the camera behind the seat's tank in the match, clear of the arena and the tanks.
    void place(const Match& match, int seat);
    // Mouse wheel to distance; wheel is the window's accumulated wheel position in notches.
    // A notch that would leave the zoom's range is dropped.
    void zoom(int wheel);
    // Right-button drag to yaw and pitch, times the sensitivity; cursor in window pixels.
    // Dragging down raises the eye, or lowers it with the pitch inverted.
    void orbit(bool dragging, glm::ivec2 cursor);
    // Adds degrees to the pitch (positive: higher above the tank), unless that leaves the pitch's
    // range, as a vertical drag does.
    void tilt(float degrees);
    // Free look: turns the way the camera looks by degrees, counter-clockwise seen from above.
    void turn(float degrees) { lookHeading = wrapped(lookHeading + degrees); }
    // Free look from the tank's turret: the camera looks the way the turret points.
    void lookAlong(const Tank& tank);

    // The heading the camera looks along for the tank.
    float heading(const Tank& tank) const;
    // The view blended between the last two placements (blend 0: the previous, 1: the latest);
    // a fixed overview of the arena before the first placement.
    glm::mat4 view(float blend) const;
    // For a window of width over height aspect. A window narrower than 4:3 keeps the width a
    // 4:3 window sees, rather than narrowing the view to a keyhole.
    static glm::mat4 projection(float aspect = kAspect);
    glm::vec3 eyeAt(float blend) const;
    // The point looked at, blended like the eye.
    glm::vec3 targetAt(float blend) const;
    // Opacity of the player's tank: whole from the see-through distance on, fading as the zoom
    // or a wall brings the eye closer.
    float playerOpacity() const;
    // Whether the piece stands between an eye and the tank as drawn in pose: it is then drawn
    // see-through.
    static bool hidesTank(const ArenaPiece& piece, glm::vec3 eye, const TankPose& pose);

    float distance = 10.0f; // zoom: units from the tank's position to the eye
    float yaw = 0.0f;       // degrees subtracted from the turret heading
    float pitch = 30.0f;    // degrees above the tank's level, strictly between 0 and kMaxPitch
    glm::vec3 eye{0.0f};
    glm::vec3 target{0.0f};
    glm::vec3 up{0.0f, 1.0f, 0.0f};
    float rise = 0.0f; // degrees the eye wants to look down more steeply than pitch, to see past
    float sensitivity = 1.0f; // of the orbit, times its degrees per pixel dragged
    bool invertPitch = false;
    bool freeLook = false;    // looks along lookHeading, not the turret
    float lookHeading = 0.0f; // degrees, −180 to 180

    glm::ivec2 dragPosition{0}; // mouse position at the previous tick of a drag
    bool orbitDragging = false; // the right button was held at the previous tick
    int lastWheelPosition = 0;  // the wheel position seen by the previous zoom

private:
    static float wrapped(float degrees);
    // Where the eye wants to stand looking along heading, its rise updated.
    glm::vec3 wanted(const Tank& tank, float heading);
    // The eye on the line of elevation degrees from the target, up to length along it and in
    // front of what is in the way; true when that leaves it no closer than the see-through
    // distance.
    bool eyeAtElevation(float heading, float elevation, float length, glm::vec3& placed) const;
    // The point share of the way from `from` to `to` round the target: turning about it and
    // changing its distance from it evenly. length is the whole way's length.
    glm::vec3 around(glm::vec3 from, glm::vec3 to, float share, float& length) const;
    // Moves the eye towards goal within a tick's step; false when no such move keeps it clear.
    bool follow(glm::vec3 goal, float heading);
    // Brings a point into the limits and out of the solids; false when it cannot, or when it
    // is to stay in sight of the target and is not.
    bool settled(glm::vec3& point, float heading, bool inSight) const;
    // The point within the limits of pitch and distance around the target.
    glm::vec3 limited(glm::vec3 point, float heading) const;
    bool withinLimits(glm::vec3 point) const;
    // Clear of the solids, within the limits, and in sight of the target past the arena's edge
    // when asked.
    bool standsWell(glm::vec3 point, bool inSight) const;

    CameraSpace space;
    glm::vec3 base{0.0f}; // the tank's position at the last placement
    glm::vec3 previousEye{0.0f};
    glm::vec3 previousTarget{0.0f};
    bool placed = false;
};
