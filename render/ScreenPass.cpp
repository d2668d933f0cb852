#include "render/ScreenPass.h"

#include "platform/GlCheck.h"
#include "render/PassState.h"

void drawScreenPass(const BackgroundQuad& background, const FinalPass& finalPass,
                    const ScreenLayers& layers) {
    // Whole-window layers, each over the one before: no depth test, which also keeps the quads
    // from writing depth. The depth mask stays on so that the one clear empties the window's
    // depth buffer for the text drawn after this pass. With the background in the scene's
    // targets the final pass covers every pixel opaquely: the window is neither cleared of
    // colour nor blended into, as nothing under the pass shows.
    PassState state;
    state.viewport = layers.window;
    state.depthTest = false;
    if (!layers.background) {
        state.blend = Blend::Off;
    }
    applyPassState(state);
    glClear(layers.background ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_DEPTH_BUFFER_BIT);
    checkGlError("Scene::render() 6");
    if (layers.background) {
        background.draw();
    }
    finalPass.draw(layers.darken, layers.glow);
}
