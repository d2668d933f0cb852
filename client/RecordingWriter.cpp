#include "client/RecordingWriter.h"

#include "game/ByteWriter.h"
#include "game/Match.h"
#include "game/StateCodec.h"

#include <cerrno>
#include <cstring>

namespace {
constexpr std::size_t kRecordBytes = 32; // more than any record needs
} // namespace

RecordingWriter::RecordingWriter(const std::string& path)
    : filePath(path), file(path, std::ios::binary | std::ios::trunc), opened_(file.is_open()),
      openErrno(errno) {
    buffer.reserve(kRecordBytes);
}

std::string RecordingWriter::openError() const {
    return "Cannot record to " + filePath + ": " + std::strerror(openErrno);
}

void RecordingWriter::begin(const MatchState& start) {
    std::vector<std::uint8_t> state;
    state_codec::write(start, state);
    std::vector<std::uint8_t> header;
    ByteWriter out(header);
    out.raw(recording::kMagic, sizeof recording::kMagic);
    out.u16(recording::kFormatVersion);
    out.u32(Match::kRulesVersion);
    out.u32(static_cast<std::uint32_t>(state.size()));
    put(header);
    put(state);
}

void RecordingWriter::put(const std::vector<std::uint8_t>& bytes) {
    checksum = fnv1a(bytes.data(), bytes.size(), checksum);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void RecordingWriter::mark(recording::Kind kind, const MatchState& state) {
    buffer.clear();
    ByteWriter out(buffer);
    out.u8(kind);
    out.u32(ticks);
    out.u32(state.tick);
    out.u64(state_codec::hash(state));
    put(buffer);
}

void RecordingWriter::tick(const RecordedTick& tick, const MatchState& after) {
    buffer.clear();
    ByteWriter out(buffer);
    out.u8(recording::kTick);
    out.u8(static_cast<std::uint8_t>((tick.keys.start ? recording::kStart : 0) |
                                     (tick.keys.endMatch ? recording::kEndMatch : 0) |
                                     (tick.command.jump ? recording::kJump : 0) |
                                     (tick.command.fire ? recording::kFire : 0)));
    out.i16(tick.command.drive);
    out.i16(tick.command.turn);
    out.u32(tick.command.aim);
    put(buffer);
    ++ticks;
    if (ticks % recording::kHashInterval == 0) {
        mark(recording::kHash, after);
    }
}

bool RecordingWriter::finish(const MatchState& last, std::string& error) {
    mark(recording::kEnd, last);
    std::vector<std::uint8_t> tail;
    ByteWriter(tail).u64(checksum);
    file.write(reinterpret_cast<const char*>(tail.data()),
               static_cast<std::streamsize>(tail.size()));
    file.close();
    if (file.fail()) {
        error = "Cannot record to " + filePath + ": the file could not be written whole";
        return false;
    }
    return true;
}
