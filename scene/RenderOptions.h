#pragma once

#include "platform/Window.h"
#include "render/GlObject.h"

#include <vector>

// Display options switched at run time by F1 to F6, on any screen, when the key is released;
// each switch prints its line. The flags are read by the renderer; the texture filters are
// applied to the scene textures at the start of the next frame.
class RenderOptions : public KeyListener {
public:
    void onKey(int key, KeyAction action) override;

    // Re-applies the filters switched since the last call to textures (and to no other); true
    // when it did.
    bool applyTextureOptions(const std::vector<Texture>& textures);

    bool showHelp = false;        // F1: list the controls over a running match
    bool showFrameRate = false;   // F2: draw the frame-rate line
    bool wireframe = false;       // F3: draw the main pass as lines
    bool nearestSampling = false; // F4: magnify with GL_NEAREST instead of GL_LINEAR
    bool samplingChanged = false; // the magnification filter must be re-applied
    int mipmapMode = 0;           // F5: 0 no mip-maps, 1 nearest, 2 linear
    bool mipmapChanged = false;   // the minification filter must be re-applied
    bool showRadar = true;        // F6: draw the radar while a match runs
};
