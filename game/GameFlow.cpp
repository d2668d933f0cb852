#include "game/GameFlow.h"

void GameFlow::update(const PlayerInput& input, float dtSeconds, EventList& events) {
    if (input.start && (!started || gameOver)) {
        if (started) {
            gameOver = false;
            logLine(events, "RESTART GAME");
            match.restart();
        }
        started = true;
        events.push_back({GameEventType::MatchStart, glm::vec3(0.0f), TankSide::None, ""});
    }
    if (input.endMatch && started) {
        gameOver = true;
    }
    if (!matchRunning()) {
        match.settle();
        return;
    }
    match.step(input, dtSeconds, events);
    if (match.playerTank.lives < 1) {
        gameOver = true;
        resultMessage = "The AI Won";
    }
    if (playerWon()) {
        gameOver = true;
        resultMessage = "You beat the stupid AI :)";
    }
    if (gameOver) {
        events.push_back({playerWon() ? GameEventType::MatchWon : GameEventType::MatchLost,
                          glm::vec3(0.0f), TankSide::None, ""});
    }
}
