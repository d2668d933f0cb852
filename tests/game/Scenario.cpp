#include "Scenario.h"

#include "GameFixtures.h"

#include "assets/ModelData.h"
#include "game/PlayerControls.h"
#include "platform/FixedStep.h"
#include "render/AssetPaths.h"

#include <string>

namespace {
constexpr float kLandingClearance = 0.01f; // units a tank standing on a floor keeps above it
} // namespace

ModelBounds realModelBounds() {
    // Read once per test process: the scenarios build many matches.
    static const ModelBounds bounds = [] {
        const std::string models = kModelDir;
        const Bounds box = boundsOf(readModel(models + "tank_bottom.obj"));
        return ModelBounds{box, boundsOf(readModel(models + "bullet.obj")), box};
    }();
    return bounds;
}

void placeTank(Tank& tank, glm::vec3 spot) {
    tank.position = spot;
    tank.floorLevel = tank.groundLevel = spot.y - kLandingClearance;
    tank.updateTransform();
}

void playAtFrameRate(Match& match, int framesPerSecond, double seconds,
                     const std::vector<ScriptedInput>& script,
                     const std::function<void(int, const EventList&)>& onStep) {
    InputState input;
    PlayerControls controls;
    FixedStep clock;
    EventList events;
    std::size_t next = 0;
    int stepNumber = 0;
    const int frames = static_cast<int>(seconds * framesPerSecond + 0.5);
    for (int frame = 0; frame <= frames; ++frame) {
        const int due = frame == 0 ? 0 : clock.advance(1.0 / framesPerSecond);
        for (int step = 0; step < due; ++step) {
            events.clear();
            match.step(controls.read(input, kStep), kStep, events);
            onStep(++stepNumber, events);
        }
        // What the player does before the next frame reaches the window's input now.
        const double nextFrame = static_cast<double>(frame + 1) / framesPerSecond;
        while (next < script.size() && script[next].seconds < nextFrame - 1e-9) {
            const ScriptedInput& event = script[next++];
            if (event.button) {
                input.buttonEvent(event.code, event.action);
            } else {
                input.keyEvent(event.code, event.action);
            }
        }
    }
}
