#include "game/GameFlow.h"

void GameFlow::update(const PlayerInput& input, float dtSeconds, EventList& events) {
    if (input.start) {
        if (!started) {
            started = true;
            events.push_back({GameEventType::MatchStart, glm::vec3(0.0f), TankSide::None, ""});
        } else if (gameOver) {
            gameOver = false;
            logLine(events, "RESTART GAME");
            match.restart();
            events.push_back({GameEventType::MatchStart, glm::vec3(0.0f), TankSide::None, ""});
        }
    }
    if (input.endMatch && started) {
        gameOver = true;
    }
    if (!matchRunning()) {
        return;
    }
    match.step(input, dtSeconds, events);
    if (match.playerTank.lives < 1) {
        gameOver = true;
        resultMessage = "The AI Won";
    }
    if (match.aiTank.lives < 1) {
        gameOver = true;
        resultMessage = "You beat the stupid AI :)";
    }
    if (gameOver) {
        const bool won = match.aiTank.lives < 1;
        events.push_back({won ? GameEventType::MatchWon : GameEventType::MatchLost, glm::vec3(0.0f),
                          TankSide::None, ""});
    }
}
