#include "app/GameLoop.h"

#include "platform/GlCheck.h"

GameLoop::GameLoop(Window& window, Scene& scene)
    : window(window), scene(scene), previousTime(window.time()) {
    checkGlError("before main loop");
}

bool GameLoop::frame() {
    const double now = window.time();
    const double frameSeconds = now - previousTime;
    previousTime = now;
    meter.frame(now);

    // A networked game's clock runs a little fast or slow to keep its lead on the server.
    const int steps = clock.advance(frameSeconds * scene.client.stepRate());
    checkGlError("main loop, before scene.update()");
    // The steps make no GL call; their checks report what is pending around them.
    checkGlError("Scene::update() START");
    for (int step = 0; step < steps && !scene.quitRequested(); ++step) {
        scene.update();
    }
    checkGlError("Scene::update() END");
    checkGlError("main loop, after scene.update()");
    const double updated = window.time();

    FrameTiming timing;
    timing.blend = clock.blend();
    timing.seconds = static_cast<float>(FixedStep::cappedSeconds(frameSeconds));
    timing.framesPerSecond = meter.framesPerSecond();
    timing.frameMilliseconds = meter.frameMilliseconds();
    checkGlError("main loop, before scene.render()");
    scene.render(timing);
    checkGlError("main loop, after scene.render()");
    updateTime = updated - now;
    renderTime = window.time() - updated;

    return !window.closeRequested() && !scene.quitRequested();
}
