#include "game/AiController.h"

#include "game/Angles.h"

#include <cmath>

namespace {
constexpr unsigned int kRandomSpan = 30000; // draws are (source mod span) / span

constexpr float kJumpChance = 0.95f;  // a draw above this jumps (about 5 %)
constexpr float kLeaveChance = 0.05f; // per update, once the minimum time has passed
constexpr float kEvenOdds = 0.5f;
constexpr float kDestuckChance = 0.001f; // per update, from any state but STUCK
constexpr float kShootChance = 0.01f;    // per update, once the shot timer has passed
constexpr unsigned int kIdleFrames = 100;
constexpr unsigned int kMoveFrames = 100;
constexpr unsigned int kTurnFrames = 50;
constexpr unsigned int kStuckFrames = 150;
constexpr unsigned int kShootFrames = 100;
constexpr int kBlockedFramesToGiveUp = 60; // a second of updates
constexpr float kTurnRate = 75.0f;         // degrees per second
constexpr float kDestuckInput = 0.215f;    // reverse speed input per update while STUCK
} // namespace

AiController::AiController(Tank& tank, Tank& opponent, unsigned int seed)
    : opponent(opponent), tank(tank), random(seed) {}

float AiController::random01() {
    return static_cast<float>(nextDraw() % kRandomSpan) / static_cast<float>(kRandomSpan);
}

void AiController::update(float dtSeconds, EventList& events) {
    ++stateFrames;
    ++shootFrames;

    const float rise = aim();
    bool jump = false;
    if (rise > 0.0f) {
        jump = random01() > kJumpChance;
    }

    bool resetTimer = runState(dtSeconds, events);

    if (random01() < kDestuckChance && state != AiState::STUCK) {
        state = AiState::STUCK;
        logLine(events, "RAND. DESTUCK");
        resetTimer = true;
    }

    if (shootFrames > kShootFrames && random01() < kShootChance) {
        tank.fire();
        tank.triggerHeld = false;
        shootFrames = 0;
        logLine(events, "SHOOT");
    }

    tank.update(dtSeconds, jump);
    if (resetTimer) {
        stateFrames = 0;
    }
}

float AiController::aim() {
    const glm::vec3 toOpponent = opponent.position - tank.position;
    // The bullets fly level, so the aim is taken in the ground plane. Straight above or below
    // (or at the same point) there is no direction: the turret keeps its heading.
    const glm::vec2 ground(toOpponent.x, toOpponent.z);
    const float distance = glm::length(ground);
    if (distance > 0.0f) {
        const glm::vec2 n = ground / distance;
        float heading = static_cast<float>(std::acos(-n.y) * kRadiansToDegreesExact);
        if (n.x > 0.0f) {
            heading = kFullTurnDegrees - heading;
        }
        tank.turretHeading = heading;
    }
    return toOpponent.y;
}

bool AiController::runState(float dtSeconds, EventList& events) {
    switch (state) {
    case AiState::IDLE:
        if (stateFrames > kIdleFrames) {
            state = AiState::MOVE_FOR;
            logLine(events, "IDLE -> MOVE_FOR");
            return true;
        }
        return false;
    case AiState::MOVE_FOR:
        tank.drive(1.0f);
        return leaveMove(events);
    case AiState::MOVE_BACK:
        tank.drive(-1.0f);
        return leaveMove(events);
    case AiState::TURN_PLUS:
        tank.turn(kTurnRate * dtSeconds);
        return leaveTurn(events);
    case AiState::TURN_MINUS:
        tank.turn(-kTurnRate * dtSeconds);
        return leaveTurn(events);
    case AiState::STUCK:
        tank.turn(-kTurnRate * dtSeconds);
        tank.accelerate(kDestuckInput);
        if (stateFrames > kStuckFrames) {
            // The timer is kept, so IDLE is left again at the next update.
            state = AiState::IDLE;
            logLine(events, "STUCK -> IDLE");
        }
        return false;
    }
    return false;
}

bool AiController::leaveMove(EventList& events) {
    const bool timeUp = stateFrames > kMoveFrames && random01() < kLeaveChance;
    if (!timeUp && tank.blockedSteps < kBlockedFramesToGiveUp) {
        return false;
    }
    if (random01() < kEvenOdds) {
        state = AiState::TURN_MINUS;
        logLine(events, "MOVE -> TURN_MINUS");
    } else {
        state = AiState::TURN_PLUS;
        logLine(events, "MOVE -> TURN_PLUS");
    }
    return true;
}

bool AiController::leaveTurn(EventList& events) {
    if (stateFrames <= kTurnFrames || !(random01() < kLeaveChance)) {
        return false;
    }
    if (random01() < kEvenOdds) {
        state = AiState::MOVE_BACK;
        logLine(events, "TURN -> MOVE_BACK");
    } else {
        state = AiState::MOVE_FOR;
        logLine(events, "TURN -> MOVE_FOR");
    }
    return true;
}
