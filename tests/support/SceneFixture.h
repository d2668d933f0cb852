#pragma once

#include "scene/Scene.h"
#include "support/GlContext.h"

#include <memory>

// A freshly constructed game on the test's GL context, started from bin/ like the game, with
// its console output during construction kept for inspection.
class SceneTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs one frame of update and render with the given frame time.
    void frame(float elapsedMs = 16.0f);
    // Presses and releases a key between two frames, as the window would report it.
    void tap(int key);
    // Releases a held key after a frame has seen it, so no sticky press is left over.
    void release(int key);

    std::unique_ptr<Scene> scene;
    std::string constructionOutput;
};
