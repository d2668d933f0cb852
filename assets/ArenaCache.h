#pragma once

#include "client/ArenaReader.h"

#include <cstdint>
#include <ostream>
#include <string>

// The arenas servers sent, checked as local files are (ArenaFile::parse), and kept in one
// folder of the player's cache ($XDG_CACHE_HOME/brakkel/arenas, by default
// ~/.cache/brakkel/arenas) under names made from their hashes alone ("HASH.toml", 16 hex
// digits), never anywhere else. The folder is kept under kMaxBytes: the files used longest ago
// go first. A file that cannot be kept costs one line on errors and nothing else.
class ArenaCache : public ArenaReader {
public:
    static constexpr std::uintmax_t kMaxBytes = 1024 * 1024;

    static std::string standardFolder();
    // folder "" keeps nothing.
    ArenaCache(std::string folder, std::ostream& errors)
        : folder(std::move(folder)), errors(errors) {}

    std::optional<Arena> read(const std::string& file, std::string& fault) override;
    void keep(std::uint64_t hash, const std::string& file) override;

    // The name a file of the arena with hash is kept under.
    static std::string fileName(std::uint64_t hash);
    const std::string& path() const { return folder; }

private:
    // The oldest files go until the folder holds at most kMaxBytes; kept stays.
    void trim(const std::string& kept);

    std::string folder;
    std::ostream& errors;
};
