#include "game/Tank.h"

#include "render/Math.h"

#include <cmath>
#include <utility>

int tanksCreated = 0;
bool tankMeshesReleased = false;
// Never destroyed: the collision detector holds it until the process ends.
std::vector<Tank*>& tankList = *new std::vector<Tank*>();

namespace {
constexpr int kStartLives = 5;
constexpr float kFriction = 0.01f;         // speed lost per update
constexpr float kMinSpeed = -5.0f;         // exclusive bound, fastest forward
constexpr float kMaxSpeed = 2.0f;          // exclusive bound, fastest backward
constexpr float kSpeedToStep = 0.04f;      // units moved per update per unit of speed
constexpr float kJumpRiseMs = 250.0f;      // milliseconds from take-off to the top
constexpr float kJumpHeight = 2.0f;        // units above the ground level at the top
constexpr float kLandingClearance = 0.01f; // height kept above a floor after landing
constexpr float kStepDownDivisor = 10.0f;  // a lower floor is reached by (2 − fallOffset) / 10
constexpr float kPi = 3.14159265f;
constexpr float kHalfTurnDegrees = 180.0f;
constexpr float kQuarterWave = 0.5f; // of π: the rise covers a quarter sine wave
constexpr float kUndoSpeedFactor = -0.25f;
constexpr float kMuzzleDistance = 2.5f;  // units ahead of the tank's base
constexpr float kMuzzleLift = 0.01f;     // units above the tank's base
constexpr float kBulletSpeed = 20.0f;    // units per second
constexpr float kBulletLifetime = 10.0f; // seconds
constexpr int kTintedTankId = 0;         // the AI tank, made first
const glm::vec3 kTint(1.0f, 0.44f, 0.22f);
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);
constexpr float kAmbient = 0.2f;
constexpr float kDiffuse = 0.8f;
constexpr float kSpecular = 1.0f;
constexpr unsigned int kPhongPower = 3;

// Height above the ground level of a jump at timer ms into a jump rising for duration ms.
float jumpOffset(float timer, float duration) {
    return kJumpHeight * std::sin(timer / duration * kPi * kQuarterWave);
}
} // namespace

Tank::Tank(BulletSystem* bulletSystem, GLuint program, float x, float y, float z,
           float startHeading, std::vector<Mesh*> hullMeshes, std::vector<Mesh*> turretMeshes)
    : topMeshes(std::move(turretMeshes)), bottomMeshes(std::move(hullMeshes)),
      turretHeading(startHeading), heading(startHeading), position(x, y, z),
      bulletSystem(bulletSystem), program(program), lives(kStartLives),
      previousHeading(startHeading), initialLives(kStartLives), initialHeading(startHeading),
      initialTurretHeading(startHeading), spawnPosition(x, y, z) {
    initBody(bottomMeshes, 0.0f, glm::vec3(0.0f, y, 0.0f), glm::vec3(1.0f));
    // The footprint stays unturned until the first update.
    transform.Set(b2Vec2(x, z), 0.0f);
    bottom = y;
    top = y + height;

    id = tanksCreated;
    ++tanksCreated;
    const glm::vec3 tint = id == kTintedTankId ? kTint : glm::vec3(1.0f);
    material.ka = kAmbient;
    material.kd = kDiffuse;
    material.ks = kSpecular;
    material.ambientColor = tint;
    material.diffuseColor = tint;
    material.specularColor = tint;
    material.phongPower = kPhongPower;
    material.fetchLocations(program);
}

Tank::~Tank() {
    if (!tankMeshesReleased) {
        for (Mesh* mesh : bottomMeshes) {
            delete mesh;
        }
        for (Mesh* mesh : topMeshes) {
            delete mesh;
        }
        tankMeshesReleased = true;
    }
    bottomMeshes.clear();
    topMeshes.clear();
}

void Tank::update(float dtMs, bool jump) {
    applyFriction();
    jumpTimer += dtMs;
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
        jumpDuration = kJumpRiseMs;
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
    transform.Set(b2Vec2(position.x, position.z), heading * kPi / kHalfTurnDegrees);
    bottom = position.y;
    top = position.y + height;
}

void Tank::accelerate(float delta) {
    const float next = speed + delta;
    if (kMinSpeed < next && next < kMaxSpeed) {
        speed = next;
    }
}

void Tank::turn(float degrees) {
    previousHeading = heading;
    heading += degrees;
    turretHeading += degrees;
}

glm::vec3 Tank::forward() const {
    return headingDirection(heading);
}

glm::vec3 Tank::turretForward() const {
    return headingDirection(turretHeading);
}

void Tank::fire() {
    if (triggerHeld) {
        return;
    }
    triggerHeld = true;
    const glm::vec3 direction = turretForward();
    glm::vec3 start = position + kMuzzleDistance * direction;
    start.y += kMuzzleLift;
    bulletSystem->spawn(direction, start, kBulletSpeed, kBulletLifetime);
}

void Tank::undoMove() {
    speed *= kUndoSpeedFactor;
    position += lastMove;
    heading = previousHeading;
    updateTransform();
}

void Tank::draw() {
    material.apply(program);
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), position);
    const glm::mat4 hull = rotateDegrees(glm::mat4(1.0f), heading, kUp);
    const glm::mat4 turret = rotateDegrees(glm::mat4(1.0f), turretHeading, kUp);
    for (Mesh* mesh : bottomMeshes) {
        mesh->setRotation(hull);
        mesh->setTranslation(t);
        mesh->setAlpha(alpha);
        mesh->draw();
    }
    for (Mesh* mesh : topMeshes) {
        mesh->setRotation(turret);
        mesh->setTranslation(t);
        mesh->setAlpha(alpha);
        mesh->draw();
    }
}

void Tank::drawShadow(GLuint shadowProgram, GLint modelLocation) {
    const glm::mat4 t = glm::translate(glm::mat4(1.0f), position);
    const glm::mat4 hull = rotateDegrees(glm::mat4(1.0f), heading, kUp);
    const glm::mat4 turret = rotateDegrees(glm::mat4(1.0f), turretHeading, kUp);
    for (Mesh* mesh : bottomMeshes) {
        mesh->setRotation(hull);
        mesh->setTranslation(t);
        mesh->drawWithProgram(shadowProgram, modelLocation);
    }
    for (Mesh* mesh : topMeshes) {
        mesh->setRotation(turret);
        mesh->setTranslation(t);
        mesh->drawWithProgram(shadowProgram, modelLocation);
    }
}
