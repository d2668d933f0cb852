#include "Models.h"

#include <cmath>

namespace {
const glm::vec3 kForward(0.0f, 0.0f, -1.0f);
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

constexpr int kBarrelSides = 16;
constexpr int kHatchSides = 14;
constexpr int kShellSides = 16; // a multiple of 4, so the shell touches its bounds exactly
constexpr int kOgiveSteps = 6;

// Hull: the box every arena piece is stretched from. Half a unit tall, so that the arena's
// low wall (2.2 of them) is a jump high and its outer walls (5 of them) are not.
constexpr float kHullHeight = 0.5f;
constexpr glm::vec3 kHullMin(-1.0f, 0.0f, -1.0f);
constexpr glm::vec3 kHullMax(1.0f, kHullHeight, 1.0f);

// Heights on the turret, measured from the hull's top where it sits.
constexpr float onHull(float height) {
    return kHullHeight + height;
}

// Turret body, an armoured block with a narrowed nose and sloped upper walls.
constexpr float kTurretBase = onHull(0.0f);
constexpr float kTurretSkirtTop = onHull(0.14f); // vertical lower band
constexpr float kTurretRoof = onHull(0.55f);
constexpr float kTurretRoofScale = 0.78f; // roof outline relative to the base outline
constexpr float kTurretCentreZ = 0.15f;   // set back a little, so the gun has room in front
constexpr float kTurretHalfWidth = 0.65f;
constexpr float kTurretHalfDepth = 0.75f;
constexpr float kTurretNoseHalfWidth = 0.40f;
constexpr float kTurretNoseChamfer = 0.35f; // depth over which the nose widens to full width
constexpr float kTurretTailChamfer = 0.13f;

// Gun, along -Z at one height.
constexpr float kGunHeight = onHull(0.29f);
constexpr float kBarrelStart = -0.70f; // inside the mantlet
constexpr float kBarrelEnd = -2.12f;   // inside the muzzle brake
constexpr float kBarrelRadius = 0.085f;
constexpr float kMuzzleStart = -2.06f;
constexpr float kMuzzleEnd = -2.30f;
constexpr float kMuzzleRadius = 0.125f;
constexpr float kExtractorStart = -1.30f; // fume extractor, a collar half-way down the barrel
constexpr float kExtractorLength = 0.30f;
constexpr float kExtractorRadius = 0.115f;

constexpr float kCamouflagePerUnit = 0.5f; // camouflage repeats per unit on the turret

float turretZ(float relative) {
    return kTurretCentreZ + relative;
}

MeshBuilder turretBody() {
    const float w = kTurretHalfWidth;
    const float d = kTurretHalfDepth;
    const std::vector<glm::vec2> outline = {
        {-kTurretNoseHalfWidth, turretZ(-d)},  {kTurretNoseHalfWidth, turretZ(-d)},
        {w, turretZ(-d + kTurretNoseChamfer)}, {w, turretZ(d - kTurretTailChamfer)},
        {w - kTurretTailChamfer, turretZ(d)},  {-w + kTurretTailChamfer, turretZ(d)},
        {-w, turretZ(d - kTurretTailChamfer)}, {-w, turretZ(-d + kTurretNoseChamfer)},
    };
    MeshBuilder body("turret");
    body.addTaperedPrism(
        outline, {{kTurretBase, 1.0f}, {kTurretSkirtTop, 1.0f}, {kTurretRoof, kTurretRoofScale}},
        kCamouflagePerUnit);
    return body;
}

MeshBuilder box(const char* name, glm::vec3 min, glm::vec3 max) {
    MeshBuilder part(name);
    part.addBox(min, max);
    return part;
}

MeshBuilder gunTube(const char* name, float fromZ, float toZ, float radius) {
    MeshBuilder part(name);
    part.addCylinder(glm::vec3(0.0f, kGunHeight, fromZ), kForward, fromZ - toZ, radius,
                     kBarrelSides);
    return part;
}
} // namespace

std::vector<MeshBuilder> makeTankBottom() {
    return {box("hull", kHullMin, kHullMax)};
}

std::vector<MeshBuilder> makeTankTop() {
    MeshBuilder hatch("hatch");
    hatch.addCylinder(glm::vec3(0.25f, kTurretRoof - 0.05f, 0.30f), kUp, 0.17f, 0.21f, kHatchSides);
    return {
        turretBody(),
        box("mantlet", {-0.22f, onHull(0.12f), -0.78f}, {0.22f, onHull(0.46f), -0.40f}),
        gunTube("barrel", kBarrelStart, kBarrelEnd, kBarrelRadius),
        gunTube("fume_extractor", kExtractorStart, kExtractorStart - kExtractorLength,
                kExtractorRadius),
        gunTube("muzzle_brake", kMuzzleStart, kMuzzleEnd, kMuzzleRadius),
        std::move(hatch),
        box("stowage_box", {-0.48f, onHull(0.10f), 0.76f}, {0.48f, onHull(0.42f), 1.05f}),
        box("antenna", {-0.41f, onHull(0.45f), 0.54f}, {-0.385f, onHull(1.25f), 0.565f}),
    };
}

std::vector<MeshBuilder> makeBullet() {
    constexpr float kRadius = 0.08f;
    constexpr float kLength = 0.45f;
    constexpr float kBaseChamfer = 0.014f;
    constexpr float kBodyLength = 0.22f; // cylindrical part, from the base
    // Tangent ogive nose: an arc of this radius meets the body without a crease.
    constexpr float kNoseLength = kLength - kBodyLength;
    const float arcRadius = (kRadius * kRadius + kNoseLength * kNoseLength) / (2.0f * kRadius);
    std::vector<glm::vec2> profile = {
        {0.0f, 0.0f},
        {0.0f, kRadius - kBaseChamfer},
        {0.0f, kRadius - kBaseChamfer},
        {kBaseChamfer, kRadius},
        {kBaseChamfer, kRadius},
    };
    for (int i = 0; i <= kOgiveSteps; ++i) {
        const float s = kNoseLength * i / kOgiveSteps;
        const float r = i == kOgiveSteps
                            ? 0.0f
                            : std::sqrt(arcRadius * arcRadius - s * s) + kRadius - arcRadius;
        profile.push_back({kBodyLength + s, r});
    }
    MeshBuilder shell("shell");
    shell.addLathe(glm::vec3(0.0f, kRadius, 0.5f * kLength), kForward, profile, kShellSides);
    return {std::move(shell)};
}
