#include "net/Discovery.h"

#include "game/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace discovery {

namespace {

constexpr char kStandIn = '?';
constexpr std::uint8_t kDuel = 0;
constexpr std::uint8_t kBattle = 1;

bool printable(char c) {
    return c >= ' ' && c <= '~';
}

// Writes into a buffer that has room for the longest answer (checked by its type's size).
class FixedWriter {
public:
    explicit FixedWriter(AnswerBytes& bytes) : bytes(bytes) {}
    void u8(std::uint8_t value) { bytes[at++] = value; }
    void little(std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i) {
            u8(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    void text(const char* value, std::size_t most) {
        const std::size_t length = strnlen(value, most);
        u8(static_cast<std::uint8_t>(length));
        std::memcpy(bytes.data() + at, value, length);
        at += length;
    }
    std::size_t size() const { return at; }

private:
    AnswerBytes& bytes;
    std::size_t at = 0;
};

bool header(ByteReader& reader, std::uint8_t kind) {
    for (std::uint8_t expected : kMagic) {
        if (reader.u8() != expected) {
            return false;
        }
    }
    return reader.u8() == kind && reader.u8() == kFormat && reader.ok();
}

// A string of at most most bytes, as it stands on the wire, into text (ending in '\0').
bool readText(ByteReader& reader, char* text, std::size_t most) {
    const std::size_t length = reader.u8();
    if (!reader.ok() || length > most || reader.remaining() < length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = static_cast<char>(reader.u8());
    }
    text[length] = '\0';
    return true;
}

} // namespace

bool marked(const std::uint8_t* data, std::size_t size) {
    return size >= kMagicBytes && std::equal(kMagic.begin(), kMagic.end(), data);
}

void writeRequest(std::uint64_t nonce, Request& request) {
    request.fill(0);
    std::copy(kMagic.begin(), kMagic.end(), request.begin());
    request[kMagicBytes] = kRequestKind;
    request[kMagicBytes + 1] = kFormat;
    for (std::size_t i = 0; i < sizeof nonce; ++i) {
        request[kMagicBytes + 2 + i] = static_cast<std::uint8_t>(nonce >> (8 * i));
    }
}

bool readRequest(const std::uint8_t* data, std::size_t size, std::uint64_t& nonce) {
    if (size < kRequestBytes) {
        return false;
    }
    ByteReader reader(data, size);
    if (!header(reader, kRequestKind)) {
        return false;
    }
    nonce = reader.u64();
    return reader.ok();
}

ArenaName arenaName(std::string_view text) {
    ArenaName name{};
    const std::size_t length = std::min(text.size(), kMaxArenaName);
    for (std::size_t i = 0; i < length; ++i) {
        name[i] = printable(text[i]) ? text[i] : kStandIn;
    }
    if (length == 0) {
        name[0] = kStandIn;
    }
    return name;
}

std::size_t writeAnswer(const Answer& answer, AnswerBytes& bytes) {
    FixedWriter writer(bytes);
    for (std::uint8_t byte : kMagic) {
        writer.u8(byte);
    }
    writer.u8(kAnswerKind);
    writer.u8(kFormat);
    writer.little(answer.nonce, 8);
    writer.little(answer.serverId, 8);
    writer.little(answer.version, 4);
    writer.u8(answer.mode == Mode::Battle ? kBattle : kDuel);
    writer.u8(answer.teams ? 1 : 0);
    writer.u8(answer.password ? 1 : 0);
    const int seats = std::clamp(answer.seats, MatchSetup::kMinSeats, MatchSetup::kMaxSeats);
    writer.u8(static_cast<std::uint8_t>(std::clamp(answer.persons, 0, seats)));
    writer.u8(static_cast<std::uint8_t>(seats));
    const player_name::Name name = player_name::cleaned(
        std::string_view(answer.name.data(), strnlen(answer.name.data(), answer.name.size())), "?");
    writer.text(name.data(), player_name::kMaxLength);
    const ArenaName arena = arenaName(
        std::string_view(answer.arena.data(), strnlen(answer.arena.data(), kMaxArenaName)));
    writer.text(arena.data(), kMaxArenaName);
    return writer.size();
}

bool readAnswer(const std::uint8_t* data, std::size_t size, Answer& answer) {
    ByteReader reader(data, size);
    if (size > kMaxAnswerBytes || !header(reader, kAnswerKind)) {
        return false;
    }
    Answer read;
    read.nonce = reader.u64();
    read.serverId = reader.u64();
    read.version = reader.u32();
    const std::uint8_t mode = reader.u8();
    read.teams = reader.flag();
    read.password = reader.flag();
    read.persons = reader.u8();
    read.seats = reader.u8();
    char name[player_name::kMaxLength + 1];
    char arena[kMaxArenaName + 1];
    if (!reader.ok() || mode > kBattle || read.seats < MatchSetup::kMinSeats ||
        read.seats > MatchSetup::kMaxSeats || read.persons > read.seats ||
        !readText(reader, name, player_name::kMaxLength) ||
        !readText(reader, arena, kMaxArenaName) || reader.remaining() != 0) {
        return false;
    }
    read.mode = mode == kBattle ? Mode::Battle : Mode::Duel;
    read.name = player_name::cleaned(name, "?");
    read.arena = arenaName(arena);
    answer = read;
    return true;
}

} // namespace discovery
