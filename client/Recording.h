#pragma once

#include "client/PlayerInput.h"
#include "game/TankCommand.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A recorded game: the state the player's match started from and, for every tick from the
// first, the screen keys and the player's command, with a hash of the match's state every
// kHashInterval ticks and at the end. The file holds, little-endian:
//
//   "BKRC", u16 format version, u32 rules version (Match::kRulesVersion)
//   u64 the arena's hash (Arena::hash)
//   u32 length of the start state, the start state (state_codec::write)
//   records, each a kind byte and its fields:
//     1 tick: u8 keys and buttons (1 ENTER, 2 L, 4 jump, 8 fire), i16 drive, i16 turn, u32 aim
//     2 hash, after every kHashInterval-th tick: u32 ticks so far, u32 match tick, u64 hash
//     3 end, once, last: u32 ticks in all, u32 match tick, u64 hash
//   u64 checksum: FNV-1a of every byte before it
namespace recording {
inline constexpr std::uint8_t kMagic[4] = {'B', 'K', 'R', 'C'};
inline constexpr std::uint16_t kFormatVersion = 2;
inline constexpr std::uint32_t kHashInterval = 60; // ticks
inline constexpr std::size_t kMaxBytes = std::size_t{64} << 20;
enum Kind : std::uint8_t { kTick = 1, kHash = 2, kEnd = 3 };
enum Flag : std::uint8_t { kStart = 1, kEndMatch = 2, kJump = 4, kFire = 8 };
} // namespace recording

// What the game took from the player in one tick.
struct RecordedTick {
    ScreenKeys keys;
    TankCommand command;
};

// The state's hash after a number of ticks.
struct RecordedHash {
    std::uint32_t ticks = 0;     // ticks recorded up to it
    std::uint32_t matchTick = 0; // the match's own tick then
    std::uint64_t hash = 0;
};

struct Recording {
    std::uint64_t arenaHash = 0; // of the arena it was played on
    std::vector<std::uint8_t> startState;
    std::vector<RecordedTick> ticks;
    std::vector<RecordedHash> hashes; // in order
    RecordedHash end;
};

// Reads and checks the whole file at path. A file that cannot be read, is not a recording,
// comes from another format or rules version, is cut short or damaged gives false, with error
// set to one line naming the file and the fault; recording is then left empty.
bool readRecording(const std::string& path, Recording& recording, std::string& error);
