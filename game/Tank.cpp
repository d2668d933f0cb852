#include "game/Tank.h"

#include "game/Angles.h"

#include <cmath>

namespace {
constexpr int kStartLives = 5;
constexpr float kFriction = 0.01f;         // speed lost per update
constexpr float kMinSpeed = -5.0f;         // exclusive bound, fastest forward
constexpr float kMaxSpeed = 2.0f;          // exclusive bound, fastest backward
constexpr float kSpeedToStep = 0.04f;      // units moved per update per unit of speed
constexpr float kDriveInput = 0.2f;        // speed change per update at a full drive request
constexpr float kJumpRiseSeconds = 0.25f;  // from take-off to the top
constexpr float kJumpHeight = 2.0f;        // units above the ground level at the top
constexpr float kLandingClearance = 0.01f; // height kept above a floor after landing
constexpr float kStepDownDivisor = 10.0f;  // a lower floor is reached by (2 − fallOffset) / 10
constexpr float kQuarterWave = 0.5f;       // of π: the rise covers a quarter sine wave
constexpr float kUndoSpeedFactor = -0.25f;
constexpr float kMuzzleDistance = 2.5f; // units ahead of the tank's base

// Height above the ground level of a jump at timer seconds into a jump rising for duration.
float jumpOffset(float timer, float duration) {
    return kJumpHeight * std::sin(timer / duration * kPi * kQuarterWave);
}
} // namespace

Tank::Tank(const Bounds& hull, glm::vec3 start, float startHeading)
    : turretHeading(startHeading), heading(startHeading), position(start), lives(kStartLives),
      initialLives(kStartLives), initialHeading(startHeading), spawnPosition(start),
      previousPose(pose()) {
    initBody(hull, 0.0f, glm::vec3(0.0f, start.y, 0.0f), glm::vec3(1.0f));
    // The footprint stays unturned until the first update.
    transform.Set(b2Vec2(start.x, start.z), 0.0f);
    bottom = start.y;
    top = start.y + height;
}

TankPose Tank::poseAt(float blend) const {
    return {positionAt(blend),
            previousPose.heading + headingDifference(previousPose.heading, heading) * blend,
            previousPose.turretHeading +
                headingDifference(previousPose.turretHeading, turretHeading) * blend};
}

void Tank::beginStep() {
    previousPose = pose();
    blockedSteps = blocked ? blockedSteps + 1 : 0;
    blocked = false;
    tookOff = false;
    landed = false;
}

void Tank::update(float dtSeconds, bool jump) {
    applyFriction();
    jumpTimer += dtSeconds;
    lastMove = speed * kSpeedToStep * forward();
    position -= lastMove;
    updateJump(jump);
    stepToFloor();
    updateTransform();
}

void Tank::applyFriction() {
    if (speed - kFriction > 0.0f) {
        speed -= kFriction;
    } else if (speed + kFriction < 0.0f) {
        speed += kFriction;
    } else {
        speed = 0.0f;
    }
}

void Tank::updateJump(bool jump) {
    if (jumpDuration < jumpTimer && jump && onGround) {
        // Take-off: the height changes from the next update on.
        onGround = false;
        jumpTimer = 0.0f;
        jumpDuration = kJumpRiseSeconds;
        tookOff = true;
    } else if (jumpTimer <= jumpDuration) {
        if (!onGround) {
            position.y = groundLevel + jumpOffset(jumpTimer, jumpDuration);
        }
    } else if (!onGround) {
        // Past the top the offset shrinks and then turns negative; below the ground level it
        // is added to the current height, so a fall from a raised level speeds up.
        const float offset = jumpOffset(jumpTimer, jumpDuration);
        fallOffset = offset;
        position.y = (groundLevel <= position.y ? groundLevel : position.y) + offset;
        if (position.y <= floorLevel) {
            onGround = true;
            position.y = floorLevel + kLandingClearance;
            groundLevel = floorLevel;
            landed = true;
        }
    }
}

void Tank::stepToFloor() {
    if (!onGround || groundLevel == floorLevel) {
        return;
    }
    position.y -= (kJumpHeight - fallOffset) / kStepDownDivisor;
    if (position.y <= floorLevel) {
        position.y = floorLevel + kLandingClearance;
        groundLevel = floorLevel;
    }
}

void Tank::updateTransform() {
    transform.Set(b2Vec2(position.x, position.z), footprintRadians(heading));
    bottom = position.y;
    top = position.y + height;
}

void Tank::accelerate(float delta) {
    const float next = speed + delta;
    if (kMinSpeed < next && next < kMaxSpeed) {
        speed = next;
    }
}

void Tank::drive(float request) {
    accelerate(-kDriveInput * request);
}

void Tank::turn(float degrees) {
    heading += degrees;
    turretHeading += degrees;
}

glm::vec3 Tank::forward() const {
    return headingDirection(heading);
}

float Tank::throttle() const {
    return std::abs(speed) / -kMinSpeed;
}

glm::vec3 Tank::turretForward() const {
    return headingDirection(turretHeading);
}

bool Tank::fire(BulletSystem& bullets, int seat, std::uint32_t tick) {
    if (triggerHeld) {
        return false;
    }
    triggerHeld = true;
    const glm::vec3 direction = turretForward();
    const glm::vec3 origin = shotOrigin();
    const glm::vec3 start = origin + kMuzzleDistance * direction;
    bullets.spawn(direction, start, kBulletSpeed, kBulletLifetime, origin, seat, tick);
    return true;
}

void Tank::respawn() {
    lives = initialLives;
    turretHeading = initialHeading;
    heading = initialHeading;
    position = spawnPosition;
    previousPose = pose();
}

void Tank::placeAt(glm::vec3 place, float startHeading, float floor) {
    spawnPosition = glm::vec3(place.x, floor + kLandingClearance, place.z);
    initialHeading = startHeading;
    respawn();
    speed = 0.0f;
    lastMove = glm::vec3(0.0f);
    jumpTimer = 0.0f;
    jumpDuration = 0.0f;
    fallOffset = 0.0f;
    onGround = true;
    groundLevel = floor;
    floorLevel = floor;
    blocked = false;
    blockedSteps = 0;
    respawnTicks = 0;
    updateTransform();
}

void Tank::undoMove() {
    speed *= kUndoSpeedFactor;
    position += lastMove;
    heading = previousPose.heading;
    blocked = true;
    updateTransform();
}
