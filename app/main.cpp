#include "app/FrameClock.h"
#include "app/GlCheck.h"
#include "app/GlobalGlState.h"
#include "app/LeakCheck.h"
#include "app/Window.h"
#include "app/WindowSize.h"
#include "scene/Scene.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>

namespace {

constexpr int kExitLibraryFailed = 1;
constexpr int kExitWindowFailed = -1;

void runMainLoop(Scene& scene) {
    FrameClock clock;
    framesPerSecond = 300.0;
    checkGlError("before main loop");

    bool running = true;
    while (running) {
        clock.sampleFrameRate(window::time());
        const float elapsedMs = clock.elapsedMs(window::time());
        clock.markTime(window::time());

        checkGlError("main loop, before scene.update()");
        scene.update(elapsedMs);
        checkGlError("main loop, after scene.update()");
        checkGlError("main loop, before scene.render()");
        scene.render();
        checkGlError("main loop, after scene.render()");

        if (window::key(GLFW_KEY_ESCAPE) != GLFW_RELEASE) {
            running = false;
        } else {
            running = window::isOpen();
        }
        clock.countFrame();
    }
}

} // namespace

int main() {
    if (!window::initLibrary()) {
        std::fprintf(stderr, "Failed to initialize GLFW\n");
        return kExitLibraryFailed;
    }
    if (!window::open(kWindowWidth, kWindowHeight)) {
        std::fprintf(stderr, "Failed to open GLFW window\n");
        window::terminateLibrary();
        return kExitWindowFailed;
    }
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "Failed to initialize GLEW\n");
        return kExitLibraryFailed;
    }
    setGlobalGlState();
    {
        Scene scene;
        runMainLoop(scene);
    }
    checkLeaksBeforeDriverUnload();
    window::terminateLibrary();
    return 0;
}
