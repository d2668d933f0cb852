#include "client/Recording.h"

#include "game/ByteReader.h"
#include "game/Fnv1a.h"
#include "game/Match.h"
#include "game/StateCodec.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// The fault of a file that is not a whole recording, or "" when it is one.
std::string parse(const std::vector<std::uint8_t>& bytes, Recording& recording) {
    if (bytes.size() < sizeof recording::kMagic ||
        std::memcmp(bytes.data(), recording::kMagic, sizeof recording::kMagic) != 0) {
        return "it is not a Brakkel recording";
    }
    ByteReader in(bytes.data() + sizeof recording::kMagic, bytes.size() - sizeof recording::kMagic);
    const std::uint16_t format = in.u16();
    const std::uint32_t rules = in.u32();
    if (!in.ok()) {
        return "it is cut short";
    }
    if (format != recording::kFormatVersion) {
        return "it is in format version " + std::to_string(format) + ", this game reads version " +
               std::to_string(recording::kFormatVersion);
    }
    if (rules != Match::kRulesVersion) {
        return "it was recorded under rules version " + std::to_string(rules) +
               ", this game plays version " + std::to_string(Match::kRulesVersion);
    }
    recording.arenaHash = in.u64();
    const std::uint32_t stateSize = in.u32();
    if (!in.ok() || in.remaining() < stateSize) {
        return "it is cut short";
    }
    const std::uint8_t* stateBytes = bytes.data() + sizeof recording::kMagic + in.offset();
    recording.startState.assign(stateBytes, stateBytes + stateSize);
    in.skip(stateSize);
    bool ended = false;
    while (!ended) {
        const std::uint8_t kind = in.u8();
        if (!in.ok()) {
            return "it is cut short";
        }
        if (kind == recording::kTick) {
            RecordedTick tick;
            const std::uint8_t flags = in.u8();
            tick.keys.start = (flags & recording::kStart) != 0;
            tick.keys.endMatch = (flags & recording::kEndMatch) != 0;
            tick.command.jump = (flags & recording::kJump) != 0;
            tick.command.fire = (flags & recording::kFire) != 0;
            tick.command.drive = in.i16();
            tick.command.turn = in.i16();
            tick.command.aim = in.u32();
            recording.ticks.push_back(tick);
        } else if (kind == recording::kHash || kind == recording::kEnd) {
            RecordedHash mark;
            mark.ticks = in.u32();
            mark.matchTick = in.u32();
            mark.hash = in.u64();
            if (!in.ok()) {
                return "it is cut short";
            }
            if (mark.ticks != recording.ticks.size()) {
                return "it is damaged: a hash stands at the wrong tick";
            }
            ended = kind == recording::kEnd;
            (ended ? recording.end : recording.hashes.emplace_back()) = mark;
        } else {
            return "it is damaged: a record of unknown kind " + std::to_string(kind);
        }
        if (!in.ok()) {
            return "it is cut short";
        }
    }
    const std::size_t checked = sizeof recording::kMagic + in.offset();
    const std::uint64_t checksum = in.u64();
    if (!in.ok()) {
        return "it is cut short";
    }
    if (in.remaining() != 0) {
        return "it is damaged: bytes follow its end";
    }
    if (checksum != fnv1a(bytes.data(), checked)) {
        return "it is damaged: its checksum does not match";
    }
    Match scratch(0);
    ByteReader state(recording.startState.data(), recording.startState.size());
    if (!state_codec::read(state, scratch.state) || state.remaining() != 0) {
        return "it is damaged: its start state is malformed";
    }
    return "";
}

} // namespace

bool readRecording(const std::string& path, Recording& recording, std::string& error) {
    recording = Recording();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "Cannot replay " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::uint8_t> bytes;
    char chunk[1 << 16];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > recording::kMaxBytes) {
            error = "Cannot replay " + path + ": it is larger than any recording can be";
            return false;
        }
    }
    const std::string fault = parse(bytes, recording);
    if (!fault.empty()) {
        recording = Recording();
        error = "Cannot replay " + path + ": " + fault;
        return false;
    }
    return true;
}
