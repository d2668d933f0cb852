#pragma once

#include "game/Arena.h"

#include <cstdint>
#include <optional>
#include <string>

// Reads an arena's file that came from outside (a server's), and keeps one that was played.
// The client has no file decoder of its own; the game hands it one.
class ArenaReader {
public:
    virtual ~ArenaReader() = default;
    // The arena the file describes, checked as a local file is; nothing, with fault set to one
    // line, when it does not read.
    virtual std::optional<Arena> read(const std::string& file, std::string& fault) = 0;
    // The file, whose arena has hash, was checked and is played: kept where such files are
    // kept, if anywhere. Failing to keep it costs nothing but the copy.
    virtual void keep(std::uint64_t hash, const std::string& file) = 0;
};
