#include "scene/SceneSound.h"

#include <iostream>

namespace {

// An engine for each seat there can be.
constexpr int kEngineCount = MatchSetup::kMaxSeats;

} // namespace

SceneSound::SceneSound(const std::string& soundDir) : audio(soundDir, kEngineCount) {}

void SceneSound::onKey(int key, KeyAction action) {
    if (key != keys::kM || action != KeyAction::Release) {
        return;
    }
    audio.setMuted(!audio.muted());
    std::cout << (audio.muted() ? "Sound off" : "Sound on") << std::endl;
}

void SceneSound::setLevels(int masterPercent, int enginePercent) {
    constexpr float kPercent = 100.0f;
    audio.setMasterVolume(static_cast<float>(masterPercent) / kPercent);
    audio.setEngineVolume(static_cast<float>(enginePercent) / kPercent);
}

void SceneSound::play(const EventList& events) {
    for (const GameEvent& event : events) {
        switch (event.type) {
        case GameEventType::Shot:
            audio.play(Sound::Shot, event.position);
            break;
        case GameEventType::TankHit:
            audio.play(Sound::TankHit, event.position);
            break;
        case GameEventType::WallHit:
            audio.play(Sound::WallHit, event.position);
            break;
        case GameEventType::Jump:
            audio.play(Sound::Jump, event.position);
            break;
        case GameEventType::Landing:
            audio.play(Sound::Landing, event.position);
            break;
        case GameEventType::MatchStart:
            audio.playAtListener(Sound::Click);
            break;
        case GameEventType::MatchWon:
            audio.playAtListener(Sound::Win);
            break;
        case GameEventType::MatchLost:
            audio.playAtListener(Sound::Lose);
            break;
        case GameEventType::Log:
        case GameEventType::Announce:
        case GameEventType::Destroyed: // heard as the hit
        case GameEventType::Respawn:
        case GameEventType::MatchOver: // heard as won or lost
            break;
        }
    }
}

void SceneSound::follow(const GameClient& client, float blend) {
    // The view's rows are the eye's right, up and backward directions.
    const glm::mat4 view = client.view(blend);
    const glm::vec3 up(view[0][1], view[1][1], view[2][1]);
    const glm::vec3 backward(view[0][2], view[1][2], view[2][2]);
    audio.setListener(client.eyeAt(blend), -backward, up);
    if (!client.matchRunning()) {
        audio.stopEngines();
        return;
    }
    const Match& match = client.shownMatch();
    for (int seat = 0; seat < kEngineCount; ++seat) {
        if (seat < match.seatCount() && match.tank(seat).inPlay()) {
            const Tank& tank = match.tank(seat);
            audio.setEngine(seat, tank.positionAt(blend), tank.throttle());
        } else {
            audio.stopEngine(seat);
        }
    }
}
