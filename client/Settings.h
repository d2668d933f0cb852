#pragma once

#include "game/MatchSetup.h"

#include <string>

// How much detail the scene is drawn with (see RenderQuality for what each means).
enum class QualityPreset { Full, Balanced, Fast };

// How the player aims: the game's own keys (Q and E turn the turret, the camera follows it), or
// the mouse (it turns the camera, and the turret turns after it).
enum class AimScheme { Keys, Mouse };

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
    int renderScale = 100;  // percent of the window's pixels each way the scene is drawn at
    int masterVolume = 100; // percent
    int engineVolume = 100; // percent: the engines against the effects, 100 as designed
    AimScheme aim = AimScheme::Keys;
    int mouseSensitivity = 100;   // percent of the camera's turn per pixel the mouse moves
    bool invertPitch = false;     // dragging down lowers the camera instead of raising it
    bool radar = true;            // the radar shows from the start
    Rules rules = Rules::Classic; // a duel's
    Skill skill = Skill::Classic; // who the computer is in a duel
    Mode mode = Mode::Duel;
    int tanks = 4; // a battle's, MatchSetup::kMinSeats to kMaxSeats
    bool teams = false;
    Skill battleSkill = Skill::Veteran; // who the computer is in a battle
    int fragLimit = 10;                 // MatchSetup::kMinFragLimit to kMaxFragLimit
    int timeLimitSeconds = 300;         // MatchSetup::kMinTimeLimitSeconds to kMaxTimeLimitSeconds
    std::string name = "Player";        // a valid player_name
    // The arena of games on this machine: "" the built-in one, else the name of an arena file
    // (its name without ".toml") in the game's or the player's arena folder (validArena).
    std::string arena;

    // An arena file's name: 1 to 32 letters, digits, spaces, '_', '-' or '.', not starting
    // with '.'; nothing that reaches out of a folder.
    static bool validArena(const std::string& name);

    // The game these settings ask for on this machine.
    MatchSetup matchSetup() const;

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }
};
