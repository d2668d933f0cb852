#pragma once

// Display options switched at run time by F2 to F5, on any screen. The key handler only
// flips these flags; the renderer reads them and the scene update re-applies the texture
// filters to the scene textures.
extern bool showFrameRate;   // F2: draw the "FPS: " line
extern bool wireframe;       // F3: draw the main pass as lines
extern bool nearestSampling; // F4: magnify with GL_NEAREST instead of GL_LINEAR
extern bool samplingChanged; // the magnification filter must be re-applied
extern int mipmapMode;       // F5: 0 no mip-maps, 1 nearest, 2 linear
extern bool mipmapChanged;   // the minification filter must be re-applied

// Key handler registered with the window; reacts to releases of F2 to F5 only.
void onRenderOptionKey(int key, int action);
