#pragma once

#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"

#include <glm/glm.hpp>

// How the screen pass composes the window.
struct ScreenLayers {
    glm::ivec2 window{0}; // pixels
    // Paint the background first; else the scene's targets hold it already, opaque everywhere.
    bool background = true;
    bool glow = true;    // bloom the glow
    float darken = 1.0f; // the whole scaled by this (1: as lit)
};

// The window's picture: the background over the whole window, then the main pass's targets
// composed over it by the final pass. Leaves the window's depth buffer cleared. The check
// "Scene::render() 6" follows the window's clear.
void drawScreenPass(const BackgroundQuad& background, const FinalPass& finalPass,
                    const ScreenLayers& layers);
