#pragma once

#include "game/MatchState.h"

// How much detail the scene is drawn with (see RenderQuality for what each means).
enum class QualityPreset { Full, Balanced, Fast };

// The player's choices that last from one run to the next (SettingsFile), all set on the
// options screen but the window mode, which F11 switches too. The display keys F2 to F5 are
// not among them: they last for one run.
struct Settings {
    static constexpr int kMinRenderScale = 50; // percent
    static constexpr int kMaxRenderScale = 100;
    static constexpr int kMaxVolume = 100;     // percent
    static constexpr int kMinSensitivity = 25; // percent
    static constexpr int kMaxSensitivity = 400;

    bool fullscreen = false;
    QualityPreset quality = QualityPreset::Full;
    int renderScale = 100;      // percent of the window's pixels each way the scene is drawn at
    int masterVolume = 100;     // percent
    int engineVolume = 100;     // percent: the engines against the effects, 100 as designed
    int mouseSensitivity = 100; // percent of the camera's turn per pixel dragged
    bool invertPitch = false;   // dragging down lowers the camera instead of raising it
    bool radar = true;          // the radar shows from the start
    Rules rules = Rules::Classic;
    Skill skill = Skill::Classic; // who the computer is in a duel

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }
};
