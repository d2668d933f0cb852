#pragma once

#include "game/Arena.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

// An arena as a TOML file anyone can write:
//
//   name = "Classic"               # 1 to 32 printable ASCII characters
//   author = "Brakkel"             # 0 to 32 of them
//
//   [[piece]]                      # 1 to 256 pieces, in the order the rules test them
//   kind = "ground"                # "ground": a slab tanks drive on; "wall": a wall or a block
//   position = [0.0, 0.01, 0.0]    # the footprint's centre in x and z, the bottom in y
//   size = [20.0, 0.025, 20.0]     # width (x), height, depth (z), before the turn
//   turn = 0.0                     # degrees about the up axis; optional, 0
//   solid_only = false             # optional: it collides but is not drawn
//
//   [[spawn]]                      # 2 to 8; the first two are a duel's
//   position = [0.0, 0.05, 5.0]    # standing on a slab, clear of every other piece
//   heading = 0.0                  # degrees
//
// Pieces lie within kReach of the origin in x and z. What is read is untrusted: any fault
// refuses the whole file with one line naming it, the entry and the fault, and the game plays
// its built-in arena instead. Numbers are written with 9 significant digits, so that every
// float reads back to the bit.
class ArenaFile {
public:
    static constexpr std::size_t kMaxBytes = 64 * 1024;
    static constexpr std::size_t kMaxPieces = 256;
    static constexpr std::size_t kMinSpawns = 2;
    static constexpr std::size_t kMaxSpawns = 8;
    static constexpr float kReach = 60.0f; // units from the origin in x and z

    // The arena the text describes, or nothing with fault set to "ENTRY: FAULT".
    static std::optional<Arena> parse(const std::string& text, std::string& fault);
    // The arena in the file at path, or the built-in one after one line on errors.
    static Arena load(const std::string& path, std::ostream& errors);
    // The arena as a file that parses back to it bit for bit.
    static std::string write(const Arena& arena);
};
