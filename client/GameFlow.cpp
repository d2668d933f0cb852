#include "client/GameFlow.h"

void GameFlow::applyKeys(const ScreenKeys& keys, EventList& events) {
    if (keys.start && (!started || gameOver)) {
        if (started) {
            gameOver = false;
            logLine(events, "RESTART GAME");
            match.restart();
        }
        started = true;
        events.push_back({GameEventType::MatchStart, glm::vec3(0.0f), kNoSeat, ""});
    }
    if (keys.endMatch && started) {
        gameOver = true;
    }
}

void GameFlow::step(const TankCommand& command, EventList& events) {
    if (!matchRunning()) {
        match.settle();
        return;
    }
    SeatCommands commands;
    commands[kPlayerSeat] = command;
    match.step(commands, events);
    const Outcome outcome = match.outcome();
    if (outcome != Outcome::Running) {
        gameOver = true;
        resultMessage = playerWon() ? "You beat the stupid AI :)" : "The AI Won";
        events.push_back({playerWon() ? GameEventType::MatchWon : GameEventType::MatchLost,
                          glm::vec3(0.0f), kNoSeat, ""});
    }
}

void GameFlow::backToTitle() {
    started = false;
    gameOver = false;
    resultMessage = "";
    match.restart();
    match.settle();
}
