#pragma once

#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"

// The window's picture: the background over the whole window, then the main pass's targets
// composed over it by the final pass.
class ScreenPass {
public:
    // The background is made last: its "texSampler" line ends the start-up output.
    ScreenPass(GLuint backgroundPicture, GLuint colourTarget, GLuint glowTarget)
        : finalPass(colourTarget, glowTarget), background(backgroundPicture) {}

    // Draws into the window with the whole picture scaled by darken (1: as lit); leaves the
    // window's depth buffer cleared.
    void draw(float darken) const;

    FinalPass finalPass;
    BackgroundQuad background;
};
