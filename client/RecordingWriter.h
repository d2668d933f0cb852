#pragma once

#include "client/Recording.h"
#include "game/Fnv1a.h"
#include "game/MatchState.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Writes a recording (see Recording.h) as the game goes: the start state first, each tick as
// it is played, a hash every kHashInterval ticks, and the end with the checksum when finished.
class RecordingWriter {
public:
    // Opens path, replacing what it held.
    explicit RecordingWriter(const std::string& path);

    // Whether the file could be opened; when not, why, as one line naming it.
    bool opened() const { return opened_; }
    std::string openError() const;

    // The header and the state the match starts from.
    void begin(const MatchState& start);
    // One tick the game took, then the match's state after it.
    void tick(const RecordedTick& tick, const MatchState& after);
    // Writes the end with the final state's hash and the checksum; false, with error set to
    // one line, when the file could not be written whole.
    bool finish(const MatchState& last, std::string& error);

private:
    void put(const std::vector<std::uint8_t>& bytes);
    void mark(recording::Kind kind, const MatchState& state);

    std::string filePath;
    std::ofstream file;
    bool opened_ = false;
    int openErrno = 0;
    std::uint64_t checksum = kFnv1aStart;
    std::uint32_t ticks = 0;
    std::vector<std::uint8_t> buffer; // one record, reused
};
