#pragma once

#include "game/MatchSetup.h"
#include "game/PlayerName.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Finding servers on the local network, apart from ENet: a client's request and a server's
// answer, each one UDP datagram to or from the server's own port.
//
// Both begin with kMagic, which no ENet datagram can be taken for, nor it for one: its first two
// bytes, read as ENet's header, say "compressed", which our hosts never send and a host without
// a decompressor drops; its fifth byte, where ENet's first command would begin, is command 15,
// which ENet does not have. A kind byte follows, so that an answer is never taken for a request
// (two servers cannot be set answering each other).
//
// A request is padded to kRequestBytes, at least as long as the longest answer, and a shorter
// one is refused: a server never sends more than it was sent. Integers are little-endian; the
// strings are a length byte and that many bytes, cleaned when read (printable ASCII, cut to
// their most), so that an answer can be shown whatever it held.
namespace discovery {

inline constexpr std::size_t kMagicBytes = 8;
inline constexpr std::array<std::uint8_t, kMagicBytes> kMagic{0xFF, 0xFF, 0xFF, 0xFF,
                                                              0xFF, 'B',  'R',  'K'};
inline constexpr std::uint8_t kRequestKind = 'Q';
inline constexpr std::uint8_t kAnswerKind = 'A';
// Bumped whenever the layout below changes; a datagram of another format is refused.
inline constexpr std::uint8_t kFormat = 1;
inline constexpr std::size_t kRequestBytes = 128;
inline constexpr std::size_t kMaxArenaName = 32; // characters shown of an arena's name
// Magic, kind, format, nonce, server id, version, mode, teams, password, persons, seats and
// the two strings at their longest.
inline constexpr std::size_t kMaxAnswerBytes =
    kMagicBytes + 2 + 8 + 8 + 4 + 5 + 1 + player_name::kMaxLength + 1 + kMaxArenaName;
static_assert(kMaxAnswerBytes <= kRequestBytes, "an answer must never outgrow its request");

using ArenaName = std::array<char, kMaxArenaName + 1>; // always ends in '\0'

// What a server says of itself.
struct Answer {
    std::uint64_t nonce = 0;    // the request's, echoed
    std::uint64_t serverId = 0; // random for each server while it runs
    std::uint32_t version = 0;  // of the game's protocol (protocol::kVersion)
    player_name::Name name{};   // a valid player_name
    ArenaName arena{};          // printable, not empty
    Mode mode = Mode::Duel;
    bool teams = false;
    bool password = false; // joining needs one
    int persons = 0;       // seats held by people, 0 to seats
    int seats = MatchSetup::kMinSeats;
};

using Request = std::array<std::uint8_t, kRequestBytes>;
using AnswerBytes = std::array<std::uint8_t, kMaxAnswerBytes>;

// Whether the bytes begin as a discovery datagram does (then they are no ENet datagram).
bool marked(const std::uint8_t* data, std::size_t size);
void writeRequest(std::uint64_t nonce, Request& request);
// The nonce of a well-formed request: marked, of our kind and format, at least kRequestBytes.
bool readRequest(const std::uint8_t* data, std::size_t size, std::uint64_t& nonce);
// The answer's bytes, its strings cleaned first; returns how many.
std::size_t writeAnswer(const Answer& answer, AnswerBytes& bytes);
// Reads a whole answer, every byte of it accounted for and every value in its range.
bool readAnswer(const std::uint8_t* data, std::size_t size, Answer& answer);
// text as an arena's name is shown: characters the font lacks become '?', cut to kMaxArenaName,
// "?" when empty.
ArenaName arenaName(std::string_view text);

} // namespace discovery
