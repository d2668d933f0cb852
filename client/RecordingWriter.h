#pragma once

#include "client/Recording.h"
#include "game/MatchState.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Makes a recording (see Recording.h) as the game goes: each tick as it is played, a hash every
// kHashInterval ticks, the state the player's match starts from when it starts, and, when
// finished, the whole file with its checksum, written at once.
class RecordingWriter {
public:
    // Opens path, replacing what it held, so that a file that cannot be written is known
    // before the game begins.
    explicit RecordingWriter(const std::string& path);

    // Whether the file could be opened; when not, why, as one line naming it.
    bool opened() const { return opened_; }
    std::string openError() const;

    // The hash of the arena the game plays on; the built-in one's until told.
    void setArena(std::uint64_t hash) { arenaHash = hash; }
    // The state the player's match starts from, when ENTER first starts it; the ticks before
    // (on the title) do not touch it.
    void begin(const MatchState& start);
    bool begun() const { return !startState.empty(); }
    // One tick the game took, then the match's state after it.
    void tick(const RecordedTick& tick, const MatchState& after);
    // Writes the file: the start state (last's, when the match never started), the ticks, the
    // end with last's hash, the checksum. False, with error set to one line, when the file
    // could not be written whole.
    bool finish(const MatchState& last, std::string& error);

private:
    void mark(recording::Kind kind, const MatchState& state);

    std::string filePath;
    std::ofstream file;
    bool opened_ = false;
    int openErrno = 0;
    std::uint32_t ticks = 0;
    std::uint64_t arenaHash;
    std::vector<std::uint8_t> startState;
    std::vector<std::uint8_t> records; // every record so far, in order
};
