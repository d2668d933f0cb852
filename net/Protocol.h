#pragma once

#include "game/BodySizes.h"
#include "game/Match.h"
#include "game/MatchFlow.h"
#include "game/TankCommand.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// What server and clients say to each other, as bytes. Every message starts with its kind; all
// numbers are little-endian (ByteWriter). A message carries the number of the match it is about
// and the server tick it was made at, so that nothing of one match is taken for the next.
//
// Three ENet channels keep the kinds of traffic apart:
//   kControl, reliable: the handshake, the status of seats and match, the game's events, Ready;
//   kCommands, unreliable and unsequenced: each client's commands, sent again until the server
//     acknowledges them, so a late or lost datagram costs nothing;
//   kSnapshots, unreliable: the state the server sends each client, never over
//     kMaxSnapshotBytes, so ENet sends none of them as reliable fragments.
//
// Reading takes any bytes at all: a message that is cut short, too long, of an unknown kind or
// with a value out of its range is refused whole (false) and changes nothing.
namespace protocol {

// Bumped whenever what is sent changes; a client and server of different versions refuse
// each other.
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint16_t kDefaultPort = 27500;
inline constexpr std::size_t kMaxSnapshotBytes = 1200;
inline constexpr std::size_t kMaxCommandsPerDatagram = 16;
inline constexpr std::size_t kMaxEventsPerMessage = 32;
inline constexpr std::size_t kNonceBytes = 32;
inline constexpr std::size_t kSaltBytes = 16;
inline constexpr std::size_t kMacBytes = 32;

enum Channel : std::uint8_t { kControl = 0, kCommands = 1, kSnapshots = 2, kChannelCount = 3 };

enum class Kind : std::uint8_t {
    Hello = 1, // client: its version
    Challenge, // server: prove the password
    Answer,    // client: the proof
    Refused,   // server: why not
    Welcome,   // server: in, with a seat
    Status,    // server: the phase, the match and who sits where
    Events,    // server: what happened in a tick
    Ready,     // client: ENTER on the title or end screen
    Commands,  // client: its commands not yet acknowledged
    Snapshot,  // server: the state as one client needs it
};

using ::Phase;
// The seats a networked game has.
inline constexpr int kSeatCount = 2;

enum class Refusal : std::uint8_t { VersionMismatch, ServerFull, WrongPassword, TooManyAttempts };

// Who a seat is played by, as a client is told.
enum class Occupant : std::uint8_t { Computer, Person, You };

inline constexpr std::int8_t kWaiting = -1; // the seat of a client that waits for a match

using Nonce = std::array<std::uint8_t, kNonceBytes>;
using Salt = std::array<std::uint8_t, kSaltBytes>;
using Mac = std::array<std::uint8_t, kMacBytes>;

// Starts a Hello, so that a stray datagram is not read as one.
inline constexpr std::uint32_t kMagic = 0x4C4B5242; // "BRKL"

struct Hello {
    std::uint32_t version = kVersion;
};

struct Challenge {
    Nonce nonce{};
    Salt salt{};
};

struct Answer {
    Nonce nonce{};
    Mac mac{};
};

struct Refused {
    Refusal reason = Refusal::ServerFull;
    std::uint32_t serverVersion = kVersion;
};

struct Welcome {
    std::int8_t seat = kWaiting; // the seat kept for the client
    std::uint32_t tick = 0;      // the server's tick
};

struct Status {
    std::uint16_t match = 0; // counts matches started
    Phase phase = Phase::Title;
    std::uint32_t tick = 0; // when the phase began
    Rules rules = Rules::Duel;
    Outcome outcome; // of the match, once ended
    std::array<Occupant, kSeatCount> seats{};
    std::array<std::int8_t, kSeatCount> lives{};
    std::int8_t yourSeat = kWaiting; // the seat the client drives in this match, if any
};

// An event of the server's match, where the server saw it.
struct WireEvent {
    GameEventType type = GameEventType::Shot; // Shot, TankHit, WallHit, Jump or Landing
    std::int8_t seat = kNoSeat;               // the tank hit, jumping or landing
    std::int8_t owner = kNoSeat;              // Shot, TankHit, WallHit: who fired the bullet
    std::uint32_t firedTick = 0;              // and when: the bullet's name
    glm::vec3 position{0.0f};
    glm::vec3 direction{0.0f}; // Shot: the bullet's flight
    glm::vec3 origin{0.0f};    // Shot: the centre of the tank that fired
};

// The kinds of a match's events that go to the clients.
bool sentAsEvent(GameEventType type);

struct Events {
    std::uint16_t match = 0;
    std::uint32_t tick = 0;
    std::vector<WireEvent> events; // at most kMaxEventsPerMessage
};

struct Ready {
    std::uint16_t match = 0; // the match whose end (or the title, before the first) it answers
};

struct Commands {
    std::uint16_t match = 0;
    std::uint32_t firstTick = 0;       // of the first command; the rest follow tick by tick
    std::vector<TankCommand> commands; // 1 to kMaxCommandsPerDatagram
};

// Where a tank stands, as another client draws it.
struct TankView {
    TankPose pose;
    std::int8_t lives = 0;
    std::uint8_t graceTicks = 0;
    float speed = 0.0f; // Tank::speed, for the engine's sound
};

struct Snapshot {
    std::uint16_t match = 0;
    std::uint32_t tick = 0;
    Phase phase = Phase::Title;
    std::uint32_t ack = 0; // the newest of the client's commands the server has
    // How early, in 1/kLeadUnit ticks, the first of the client's commands since the last
    // snapshot came; kNoLead when none came.
    std::int16_t lead = 0;
    std::array<TankView, kSeatCount> tanks;
    bool hasOwn = false; // the whole state of the client's own tank follows
    Tank own{kHullBounds, glm::vec3(0.0f), 0.0f}; // when hasOwn
};
inline constexpr int kLeadUnit = 16;
inline constexpr std::int16_t kNoLead = -32768;

// Each encode appends one whole message to bytes.
void encode(const Hello& message, std::vector<std::uint8_t>& bytes);
void encode(const Challenge& message, std::vector<std::uint8_t>& bytes);
void encode(const Answer& message, std::vector<std::uint8_t>& bytes);
void encode(const Refused& message, std::vector<std::uint8_t>& bytes);
void encode(const Welcome& message, std::vector<std::uint8_t>& bytes);
void encode(const Status& message, std::vector<std::uint8_t>& bytes);
void encode(const Events& message, std::vector<std::uint8_t>& bytes);
void encode(const Ready& message, std::vector<std::uint8_t>& bytes);
// Each command is sent as the fields that differ from the one before it.
void encode(const Commands& message, std::vector<std::uint8_t>& bytes);
void encode(const Snapshot& message, std::vector<std::uint8_t>& bytes);

// The kind of the message in bytes; false when there is none.
bool kindOf(const std::uint8_t* data, std::size_t size, Kind& kind);

// Each decode reads one whole message of its kind from data, and nothing after it.
bool decode(const std::uint8_t* data, std::size_t size, Hello& message);
bool decode(const std::uint8_t* data, std::size_t size, Challenge& message);
bool decode(const std::uint8_t* data, std::size_t size, Answer& message);
bool decode(const std::uint8_t* data, std::size_t size, Refused& message);
bool decode(const std::uint8_t* data, std::size_t size, Welcome& message);
bool decode(const std::uint8_t* data, std::size_t size, Status& message);
bool decode(const std::uint8_t* data, std::size_t size, Events& message);
bool decode(const std::uint8_t* data, std::size_t size, Ready& message);
bool decode(const std::uint8_t* data, std::size_t size, Commands& message);
bool decode(const std::uint8_t* data, std::size_t size, Snapshot& message);

} // namespace protocol
