#pragma once

#include "client/Settings.h"

// How much detail the scene is drawn with: what a weak machine trades for speed.
struct RenderQuality {
    // Share of the window's pixels, each way, the scene's targets have; the final pass blows
    // them up to the window. From a half to 1.
    float scale = 1.0f;
    int shadowMapTexels = 4096; // a side
    bool glow = true;           // the final pass blooms the glow target
    // The background picture is painted into the scene's targets, at their size, instead of
    // over the whole window: one full-window pass fewer.
    bool backgroundInScene = false;
    // Share of a particle burst's sparks that are simulated and drawn.
    float sparkShare = 1.0f;

    // Full is the game's whole picture; Balanced has a 2048 shadow map; Fast a 1024 one, no
    // glow and half the sparks in a burst. Balanced and Fast paint the background into the
    // scene's targets. scalePercent is the render scale chosen with the preset.
    static RenderQuality of(QualityPreset preset, int scalePercent) {
        const float scale = static_cast<float>(scalePercent) / 100.0f;
        switch (preset) {
        case QualityPreset::Balanced:
            return {scale, 2048, true, true, 1.0f};
        case QualityPreset::Fast:
            return {scale, 1024, false, true, 0.5f};
        case QualityPreset::Full:
            break;
        }
        return {scale, 4096, true, false, 1.0f};
    }
};
