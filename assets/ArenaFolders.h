#pragma once

#include "game/Arena.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// Where arena files are found by name: the game's own folder, then the player's
// ($XDG_DATA_HOME/brakkel/arenas, by default ~/.local/share/brakkel/arenas). An arena's name is
// its file's name without ".toml" (Settings::validArena); a player's file of a name stands in for
// the game's. Folders that are missing or cannot be read hold nothing.
class ArenaFolders {
public:
    static constexpr const char* kGameFolder = "../Brakkel_game/Arenas"; // from bin/
    static constexpr const char* kExtension = ".toml";
    // The most names listed: a folder of thousands of files is not a menu.
    static constexpr std::size_t kMaxNames = 64;

    // The game's folder (kGameFolder, from the working directory: the game's bin/, where its
    // launcher starts it) and the player's.
    static ArenaFolders standard();
    explicit ArenaFolders(std::vector<std::string> folders) : folders(std::move(folders)) {}

    // The names of the arena files in the folders, sorted, each once.
    std::vector<std::string> names() const;
    // The file of the arena named so, the last folder's first; "" when there is none.
    std::string find(const std::string& name) const;
    // What a command line gives: the path itself when it is a file, else the file of the arena
    // named so; "" when it is neither.
    std::string resolve(const std::string& nameOrFile) const;
    // The arena the settings name: the built-in one for "", else the named file's (ArenaFile::load:
    // one line on errors and the built-in arena on any fault, a missing name among them).
    Arena load(const std::string& name, std::ostream& errors) const;

private:
    std::vector<std::string> folders;
};
