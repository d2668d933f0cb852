#include "assets/ArenaFolders.h"

#include "assets/ArenaFile.h"
#include "client/Settings.h"
#include "client/UserFolder.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

ArenaFolders ArenaFolders::standard() {
    // The game's folder from the directory the game starts in, as its launcher starts it.
    std::vector<std::string> found{kGameFolder};
    const std::string player = userFolder("XDG_DATA_HOME", ".local/share");
    if (!player.empty()) {
        found.push_back((fs::path(player) / "arenas").string());
    }
    return ArenaFolders(std::move(found));
}

std::vector<std::string> ArenaFolders::names() const {
    std::vector<std::string> listed;
    for (const std::string& folder : folders) {
        std::error_code failure;
        fs::directory_iterator entry(folder, failure);
        for (; !failure && entry != fs::directory_iterator() && listed.size() < kMaxNames;
             entry.increment(failure)) {
            const fs::path& path = entry->path();
            const std::string name = path.stem().string();
            std::error_code kind;
            if (path.extension() == kExtension && Settings::validArena(name) &&
                fs::is_regular_file(path, kind) &&
                std::find(listed.begin(), listed.end(), name) == listed.end()) {
                listed.push_back(name);
            }
        }
    }
    std::sort(listed.begin(), listed.end());
    return listed;
}

std::string ArenaFolders::find(const std::string& name) const {
    if (!Settings::validArena(name)) {
        return "";
    }
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        const fs::path path = fs::path(*folder) / (name + kExtension);
        std::error_code failure;
        if (fs::is_regular_file(path, failure)) {
            return path.string();
        }
    }
    return "";
}

std::string ArenaFolders::resolve(const std::string& nameOrFile) const {
    std::error_code failure;
    if (fs::is_regular_file(nameOrFile, failure)) {
        return nameOrFile;
    }
    return find(nameOrFile);
}

Arena ArenaFolders::load(const std::string& name, std::ostream& errors) const {
    if (name.empty()) {
        return Arena::standard();
    }
    const std::string path = find(name);
    if (path.empty()) {
        errors << "Arena: " << name << ": no such arena file in the arena folders; playing "
               << Arena::kStandardName << " instead" << std::endl;
        return Arena::standard();
    }
    return ArenaFile::load(path, errors);
}
