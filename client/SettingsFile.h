#pragma once

#include "client/Settings.h"

#include <ostream>
#include <string>

// The settings on disk, as TOML: one key per setting, each written with what it may hold.
//
//   fullscreen = false
//   quality = "full"          # "full", "balanced" or "fast"
//   render_scale = 100        # percent, 50 to 100
//   master_volume = 100       # percent, 0 to 100
//   engine_volume = 100       # percent, 0 to 100
//   aim = "keys"              # "keys" or "mouse"
//   mouse_sensitivity = 100   # percent, 25 to 400
//   invert_pitch = false
//   radar = true
//   rules = "classic"         # "classic" or "duel"
//   mode = "duel"             # "duel" or "battle"
//   tanks = 4                 # a battle's, 2 to 8
//   teams = false
//   frag_limit = 10           # 1 to 99
//   time_limit = 300          # seconds, 60 to 3600
//   name = "Player"           # 1 to 16 printable ASCII characters
//   arena = ""                # "": the built-in arena; else an arena file's name ("maze")
//
// What is read is untrusted: a missing file gives the defaults, silently; a file that does not
// parse gives the defaults and one line; an entry of the wrong type or out of its range, and a
// key the game does not know, each give one line naming it, and the entry its default. A file
// is written whole or not at all: into a temporary file beside it, then renamed over it.
class SettingsFile {
public:
    // $XDG_CONFIG_HOME/brakkel/settings.toml, or ~/.config/brakkel/settings.toml when that is
    // unset or not absolute; "" when neither it nor HOME is set.
    static std::string standardPath();

    explicit SettingsFile(std::string path) : filePath(std::move(path)) {}
    const std::string& path() const { return filePath; }

    // The settings the file holds, each problem one line on errors.
    Settings load(std::ostream& errors) const;
    // Writes the settings, making the directory if need be; false, with error set to one line,
    // when that fails.
    bool save(const Settings& settings, std::string& error) const;

private:
    std::string filePath;
};
