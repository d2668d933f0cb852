#include "game/Match.h"

namespace {
constexpr float kTurnDegreesPerSecond = 100.0f; // hull and turret keys
constexpr float kTiltDegreesPerSecond = 60.0f;  // camera pitch, the pad's stick pushed fully

struct TankStart {
    glm::vec3 position;
    float heading; // degrees
};
constexpr TankStart kAiTankStart{{0.0f, 0.05f, -5.0f}, 180.0f};
constexpr TankStart kPlayerTankStart{{0.0f, 0.05f, 5.0f}, 0.0f};

void reportJumps(const Tank& tank, TankSide side, EventList& events) {
    if (tank.tookOff) {
        events.push_back({GameEventType::Jump, tank.position, side, ""});
    }
    if (tank.landed) {
        events.push_back({GameEventType::Landing, tank.position, side, ""});
    }
}
} // namespace

Match::Match(const ModelBounds& bounds, unsigned int aiSeed)
    : bullets(bounds.bullet),
      aiTank(bullets, bounds.hull, kAiTankStart.position, kAiTankStart.heading),
      playerTank(bullets, bounds.hull, kPlayerTankStart.position, kPlayerTankStart.heading),
      arena(bounds.box), ai(aiTank, playerTank, aiSeed),
      detector({&playerTank, &aiTank}, arena.pieces, bullets) {
    arena.build();
}

void Match::step(const PlayerInput& input, float dtSeconds, EventList& events) {
    playerTank.beginStep();
    aiTank.beginStep();
    camera.beginStep();

    ai.update(dtSeconds, events);
    bullets.updateAll(dtSeconds);

    playerTank.drive(input.drive);
    const float turn = kTurnDegreesPerSecond * dtSeconds;
    if (input.turn != 0.0f) {
        playerTank.turn(turn * input.turn);
    }
    playerTank.update(dtSeconds, input.jump);
    playerTank.turretHeading += turn * input.turret;

    camera.place(playerTank.position, playerTank.turretForward(), arena);
    camera.zoom(input.wheel);
    if (input.fire) {
        playerTank.fire();
    } else {
        playerTank.triggerHeld = false;
    }
    camera.orbit(input.orbit, input.cursor);
    camera.tilt(kTiltDegreesPerSecond * dtSeconds * input.cameraTilt);

    detector.detect(events);
    reportJumps(playerTank, TankSide::Player, events);
    reportJumps(aiTank, TankSide::Computer, events);
}

void Match::restart() {
    bullets.clear();
    playerTank.respawn();
    aiTank.respawn();
}

void Match::settle() {
    playerTank.settle();
    aiTank.settle();
    for (Bullet& bullet : bullets.bullets) {
        bullet.settle();
    }
    camera.settle();
}
