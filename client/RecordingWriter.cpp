#include "client/RecordingWriter.h"

#include "game/ByteWriter.h"
#include "game/Fnv1a.h"
#include "game/Match.h"
#include "game/StateCodec.h"

#include <cerrno>
#include <cstring>

namespace {
// Room for ten minutes of ticks, made at once: recording does not allocate while it plays.
constexpr std::size_t kReservedTicks = 10 * 60 * 60;
constexpr std::size_t kTickRecordBytes = 10;
} // namespace

RecordingWriter::RecordingWriter(const std::string& path)
    : filePath(path), file(path, std::ios::binary | std::ios::trunc), opened_(file.is_open()),
      openErrno(errno), arenaHash(Arena::standard().hash()) {
    records.reserve(kReservedTicks * kTickRecordBytes);
}

std::string RecordingWriter::openError() const {
    return "Cannot record to " + filePath + ": " + std::strerror(openErrno);
}

void RecordingWriter::begin(const MatchState& start) {
    startState.clear();
    state_codec::write(start, startState);
}

void RecordingWriter::mark(recording::Kind kind, const MatchState& state) {
    ByteWriter out(records);
    out.u8(kind);
    out.u32(ticks);
    out.u32(state.tick);
    out.u64(state_codec::hash(state));
}

void RecordingWriter::tick(const RecordedTick& tick, const MatchState& after) {
    ByteWriter out(records);
    out.u8(recording::kTick);
    out.u8(static_cast<std::uint8_t>((tick.keys.start ? recording::kStart : 0) |
                                     (tick.keys.endMatch ? recording::kEndMatch : 0) |
                                     (tick.command.jump ? recording::kJump : 0) |
                                     (tick.command.fire ? recording::kFire : 0)));
    out.i16(tick.command.drive);
    out.i16(tick.command.turn);
    out.u32(tick.command.aim);
    ++ticks;
    if (ticks % recording::kHashInterval == 0) {
        mark(recording::kHash, after);
    }
}

bool RecordingWriter::finish(const MatchState& last, std::string& error) {
    if (!begun()) {
        begin(last);
    }
    mark(recording::kEnd, last);
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.raw(recording::kMagic, sizeof recording::kMagic);
    out.u16(recording::kFormatVersion);
    out.u32(Match::kRulesVersion);
    out.u64(arenaHash);
    out.u32(static_cast<std::uint32_t>(startState.size()));
    out.raw(startState.data(), startState.size());
    out.raw(records.data(), records.size());
    out.u64(fnv1a(bytes.data(), bytes.size()));
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!opened_ || file.fail()) {
        error = "Cannot record to " + filePath + ": the file could not be written whole";
        return false;
    }
    return true;
}
