#pragma once

#include "client/PlayerInput.h"
#include "client/Settings.h"

#include <cstddef>
#include <string>
#include <vector>

// The options screen, opened from the title: the settings in a list, one of them selected,
// each changed in turn through its values (the next or the one before), and a last line that
// leaves. Every change applies at once. "Arena" steps through the built-in arena and the arena
// files' names it is given. The name is typed: changing it starts a draft, which
// ENTER keeps when it is a valid name and ESC drops.
class OptionsMenu {
public:
    enum Item {
        kWindow,
        kQuality,
        kRenderScale,
        kMasterVolume,
        kEngineVolume,
        kAim,
        kMouseSensitivity,
        kInvertPitch,
        kRadar,
        kRules,
        kOpponent,
        kMode,
        kTanks,
        kTeams,
        kComputers,
        kFragLimit,
        kTimeLimit,
        kName,
        kArena,
        kBack,
        kItemCount
    };

    // One step of the open menu; true when it changed the settings. Leaving, or changing the
    // last line, closes the menu.
    bool step(const MenuInput& input, Settings& settings);

    // The item's name, and its value as shown, written into value.
    static const char* label(int item);
    static void describe(int item, const Settings& settings, char* value, std::size_t size);
    // The same, with the name's draft while one is typed.
    void describeShown(int item, const Settings& settings, char* value, std::size_t size) const;
    // A name is being typed: the keys are the draft's.
    bool typing() const { return editing; }
    // The render scale, in percent, that a quality preset comes with.
    static int presetScale(QualityPreset quality);

    bool open = false;
    int selected = 0;
    // The arena files' names "Arena" steps through after the built-in arena (ArenaFolders).
    std::vector<std::string> arenas;

private:
    // One step of typing the name; true when it changed the settings.
    bool type(const MenuInput& input, Settings& settings);

    bool editing = false;
    InputState::Typed draft{};
    std::size_t drafted = 0;
};
