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
constexpr int kBlockedFramesToGiveUp = 60;  // a second of updates
constexpr std::int16_t kTurnRate = 7500;    // hundredths of a degree per second: 75 °/s
constexpr std::int16_t kDestuckDrive = 215; // reverse engine while STUCK: 0.215 speed per tick
} // namespace

float AiController::random01() {
    return static_cast<float>(nextDraw() % kRandomSpan) / static_cast<float>(kRandomSpan);
}

TankCommand AiController::command(const Tank& tank, const Tank* opponent, EventList& events) {
    ++stateFrames;
    ++shootFrames;

    TankCommand command;
    const float rise = aim(tank, opponent, command);
    if (rise > 0.0f) {
        command.jump = random01() > kJumpChance;
    }

    bool resetTimer = runState(tank, command, events);

    if (random01() < kDestuckChance && state != AiState::STUCK) {
        state = AiState::STUCK;
        logLine(events, "RAND. DESTUCK");
        resetTimer = true;
    }

    if (shootFrames > kShootFrames && random01() < kShootChance) {
        command.fire = true;
        shootFrames = 0;
        logLine(events, "SHOOT");
    }

    if (resetTimer) {
        stateFrames = 0;
    }
    return command;
}

float AiController::aim(const Tank& tank, const Tank* opponent, TankCommand& command) const {
    if (opponent == nullptr) {
        command.aim = TankCommand::aimOf(tank.turretHeading);
        return 0.0f;
    }
    const glm::vec3 toOpponent = opponent->position - tank.position;
    // The bullets fly level, so the aim is taken in the ground plane. Straight above or below
    // (or at the same point) there is no direction: the turret keeps its heading.
    const glm::vec2 ground(toOpponent.x, toOpponent.z);
    const float distance = glm::length(ground);
    float heading = tank.turretHeading;
    if (distance > 0.0f) {
        const glm::vec2 n = ground / distance;
        heading = static_cast<float>(std::acos(-n.y) * kRadiansToDegreesExact);
        if (n.x > 0.0f) {
            heading = kFullTurnDegrees - heading;
        }
    }
    command.aim = TankCommand::aimOf(heading);
    return toOpponent.y;
}

bool AiController::runState(const Tank& tank, TankCommand& command, EventList& events) {
    switch (state) {
    case AiState::IDLE:
        if (stateFrames > kIdleFrames) {
            state = AiState::MOVE_FOR;
            logLine(events, "IDLE -> MOVE_FOR");
            return true;
        }
        return false;
    case AiState::MOVE_FOR:
        command.drive = TankCommand::kFullDrive;
        return leaveMove(tank, events);
    case AiState::MOVE_BACK:
        command.drive = -TankCommand::kFullDrive;
        return leaveMove(tank, events);
    case AiState::TURN_PLUS:
        command.turn = kTurnRate;
        return leaveTurn(events);
    case AiState::TURN_MINUS:
        command.turn = -kTurnRate;
        return leaveTurn(events);
    case AiState::STUCK:
        command.turn = -kTurnRate;
        command.drive = -kDestuckDrive;
        if (stateFrames > kStuckFrames) {
            // The timer is kept, so IDLE is left again at the next tick.
            state = AiState::IDLE;
            logLine(events, "STUCK -> IDLE");
        }
        return false;
    }
    return false;
}

bool AiController::leaveMove(const Tank& tank, EventList& events) {
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
