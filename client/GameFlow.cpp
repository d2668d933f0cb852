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
    if (match.out(kPlayerSeat)) {
        gameOver = true;
        resultMessage = "The AI Won";
    }
    if (playerWon()) {
        gameOver = true;
        resultMessage = "You beat the stupid AI :)";
    }
    if (gameOver) {
        events.push_back({playerWon() ? GameEventType::MatchWon : GameEventType::MatchLost,
                          glm::vec3(0.0f), kNoSeat, ""});
    }
}
