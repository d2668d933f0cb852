#include "Scenario.h"

#include "assets/ModelData.h"
#include "game/PlayerControls.h"
#include "platform/FixedStep.h"

#include <string>

ModelBounds realModelBounds() {
    // Read once per test process: the scenarios build many matches.
    static const ModelBounds bounds = [] {
        const std::string models = "../Brakkel_game/Models/";
        const Bounds box = boundsOf(readModel(models + "tank_bottom.obj"));
        return ModelBounds{box, boundsOf(readModel(models + "bullet.obj")), box};
    }();
    return bounds;
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
            const auto stepSeconds = static_cast<float>(FixedStep::kStepSeconds);
            match.step(controls.read(input, stepSeconds), stepSeconds, events);
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
