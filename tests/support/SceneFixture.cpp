#include "support/SceneFixture.h"

#include "support/WaveBackend.h"

void SceneTest::SetUp() {
    GlTest::SetUp();
    // Input left over from an earlier test must not reach this one.
    window().input() = InputState();
    WaveBackend::get().enableDevice(soundDevice);
    testing::internal::CaptureStdout();
    scene = std::make_unique<Scene>(window(), kAiSeed, kParticleSeed);
    constructionOutput = testing::internal::GetCapturedStdout();
}

void SceneTest::TearDown() {
    scene.reset();
    window().input() = InputState();
}

void SceneTest::step(int steps) {
    for (int i = 0; i < steps; ++i) {
        scene->update();
    }
}

void SceneTest::frame() {
    scene->update();
    FrameTiming timing;
    timing.seconds = kStep;
    scene->render(timing);
}

void SceneTest::tap(int key) {
    press(key);
    release(key);
}

void SceneTest::click() {
    window().injectButton(buttons::kLeft, KeyAction::Press);
    window().injectButton(buttons::kLeft, KeyAction::Release);
}
