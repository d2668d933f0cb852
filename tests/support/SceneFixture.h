#pragma once

#include "platform/FixedStep.h"
#include "scene/Scene.h"
#include "support/GlContext.h"

#include <memory>
#include <string>

// A freshly built game on the test's window, started from bin/ like the game, with its console
// output during construction kept for inspection and fixed seeds. It has no sound device
// unless the test asks for one, and then it plays into OpenAL Soft's wave writer.
class SceneTest : public GlTest {
public:
    // The seeds the scene is built with.
    static constexpr unsigned int kAiSeed = 7;
    static constexpr unsigned int kParticleSeed = 11;

protected:
    void SetUp() override;
    void TearDown() override;

    // One step of the game and one frame drawn at the latest step.
    void frame();
    // Steps the game without drawing.
    void step(int steps = 1);
    // Presses and releases a key between two steps, as the window would report it.
    void tap(int key);
    void press(int key) { window().injectKey(key, KeyAction::Press); }
    void release(int key) { window().injectKey(key, KeyAction::Release); }
    void click();

    Window& window() { return testWindow(); }
    Match& match() { return scene->client.flow->match; }
    Tank& player() { return match().tank(GameClient::kPlayerSeat); }
    Tank& computer() { return match().tank(kComputerSeat); }
    ChaseCamera& camera() { return scene->client.camera; }

    static constexpr float kStep = static_cast<float>(FixedStep::kStepSeconds);
    static constexpr int kComputerSeat = 1; // the opponent in a game on this machine
    bool soundDevice = false; // set before SetUp
    std::unique_ptr<Scene> scene;
    std::string constructionOutput;
};
