#pragma once

#include "game/BodySizes.h"
#include "game/Match.h"
#include "game/MatchFlow.h"
#include "game/TankCommand.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What server and clients say to each other, as bytes. Every message starts with its kind; all
// numbers are little-endian (ByteWriter). A message carries the number of the match it is about
// and the server tick it was made at, so that nothing of one match is taken for the next.
//
// Three ENet channels keep the kinds of traffic apart:
//   kControl, reliable: the handshake, the status of seats and match, the game's events, Ready,
//     Join, Leave;
//   kCommands, unreliable and unsequenced: each client's commands, sent again until the server
//     acknowledges them, so a late or lost datagram costs nothing; a spectator's Watching;
//   kSnapshots, unreliable: the state the server sends each client, never over
//     kMaxSnapshotBytes, so that ENet never cuts one into fragments.
//
// The handshake is plain: Hello, then with a password Challenge and Answer, then Welcome or
// Refused. Hello and Welcome (or Challenge) carry each side's crypto_kx public key for this
// connection; from Welcome on, every message both ways is sealed (SealedLink).
//
// Reading takes any bytes at all: a message that is cut short, too long, of an unknown kind or
// with a value out of its range (a seat that is none, a count over its most, a number that is
// not finite or a coordinate beyond kLargestCoordinate) is refused whole (false) and changes
// nothing.
namespace protocol {

// Bumped whenever what is sent changes; a client and server of different versions refuse
// each other.
inline constexpr std::uint32_t kVersion = 5;
inline constexpr std::uint16_t kDefaultPort = 27500;
inline constexpr std::size_t kMaxSnapshotBytes = 1200;
inline constexpr std::size_t kMaxCommandsPerDatagram = 16;
inline constexpr std::size_t kMaxEventsPerMessage = 32;
inline constexpr std::size_t kNonceBytes = 32;
inline constexpr std::size_t kSaltBytes = 16;
inline constexpr std::size_t kMacBytes = 32;
inline constexpr std::size_t kKeyBytes = 32;   // a crypto_kx public key
inline constexpr std::size_t kTokenBytes = 32; // a seat's resume token
// The most a plain handshake message may take: a Hello of a later version is refused by its
// version, whatever follows it.
inline constexpr std::size_t kMaxHandshakeBytes = 256;

enum Channel : std::uint8_t { kControl = 0, kCommands = 1, kSnapshots = 2, kChannelCount = 3 };

enum class Kind : std::uint8_t {
    Hello = 1, // client: its version and its key
    Challenge, // server: prove the password; its key
    Answer,    // client: the proof
    Refused,   // server: why not
    Welcome,   // server: its key, and with a password its own proof; sealed from here on
    Status,    // server: the phase, the match and who sits where
    Events,    // server: what happened in a tick
    Ready,     // client: ENTER on the title or end screen
    Commands,  // client: its commands not yet acknowledged
    Snapshot,  // server: the state as one client needs it
    Join,      // client: a free seat, or its own back with its token
    Admitted,  // server: in, with a seat and the token to take it back
    Leave,     // either: goes now (the client quits, the server stops)
    Watching,  // client: a spectator is still there (it sends no commands)
    ArenaPart, // server: a piece of the arena's file, before Admitted
};
inline constexpr Kind kLastKind = Kind::ArenaPart;

// The name of a kind, for lines about it ("Status").
const char* nameOf(Kind kind);

using ::Phase;
// The most seats a networked game has; a match's own count is in its Status.
inline constexpr int kMaxSeats = MatchSetup::kMaxSeats;
// The most bytes a name may take on the wire; the server makes a name of whatever comes.
inline constexpr std::size_t kMaxNameBytes = 32;

// VersionMismatch stays first: a client of any version reads it.
enum class Refusal : std::uint8_t {
    VersionMismatch,
    ServerFull,
    WrongPassword,
    TooManyAttempts,
    AddressFull, // as many players from the address as the server takes
    SeatGone,    // a resume came after the seat was given up
};

// Who a seat is played by, as a client is told.
enum class Occupant : std::uint8_t { Computer, Person, You };

inline constexpr std::int8_t kWaiting = -1; // the seat of a client that waits for a match

using Nonce = std::array<std::uint8_t, kNonceBytes>;
using Salt = std::array<std::uint8_t, kSaltBytes>;
using Mac = std::array<std::uint8_t, kMacBytes>;
using PublicKey = std::array<std::uint8_t, kKeyBytes>;
using Token = std::array<std::uint8_t, kTokenBytes>;

// Starts a Hello, so that a stray datagram is not read as one.
inline constexpr std::uint32_t kMagic = 0x4C4B5242; // "BRKL"

// Of another version than this one, only the version is read.
struct Hello {
    std::uint32_t version = kVersion;
    PublicKey key{};
};

struct Challenge {
    Nonce nonce{};
    Salt salt{};
    PublicKey key{};
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
    PublicKey key{};
    Mac mac{}; // with a password, the server's proof over both keys; zero without one
};

struct Join {
    bool resume = false;
    bool watch = false; // to watch though a seat be free, and stay watching
    Token token{};      // when resuming: the token of the seat it held
    std::string name;   // the person's, as they set it: at most kMaxNameBytes, any bytes
};

struct Admitted {
    // The seat kept for the client, or kWaiting: every seat is held by a person and the client
    // watches until one frees at a match's end, when a second Admitted gives it the seat.
    std::int8_t seat = 0;
    std::uint32_t tick = 0; // the server's tick
    bool resumed = false;   // the seat it held, taken back
    Token token{};          // to take the seat back over a new connection, once; none to watch
    // The hash of the arena played (Arena::hash). The built-in arena's comes alone; any other's
    // file came before it in ArenaParts.
    std::uint64_t arena = 0;
};

// The most bytes an arena's file takes, as a local file may; and the most of them in one part,
// so that a part with its header stays within a reliable message (4 KiB).
inline constexpr std::size_t kMaxArenaBytes = 64 * 1024;
inline constexpr std::size_t kArenaPartBytes = 4000;

// A piece of the arena's file: its bytes from offset on, of total in all. The parts of one
// arena come in order, on kControl, before the Admitted that names its hash.
struct ArenaPart {
    std::uint64_t hash = 0;  // of the arena, as Admitted will name it
    std::uint32_t total = 0; // 1 to kMaxArenaBytes
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> bytes; // 1 to kArenaPartBytes, not past total
};

struct Leave {};

// A spectator's sign of life, a few times a second: the server lets a silent one go.
struct Watching {};

// One seat as every client is told of it.
struct SeatStatus {
    Occupant occupant = Occupant::Computer;
    std::int8_t lives = 0;
    std::int8_t team = 0;
    std::int16_t frags = 0;
    std::uint16_t deaths = 0;
    std::uint16_t roundTripMs = 0; // to its person; 0 for the computer's
    player_name::Name name{'?'};   // valid (player_name::valid)
};

struct Status {
    std::uint16_t match = 0; // counts matches started
    Phase phase = Phase::Title;
    std::uint32_t tick = 0; // when the phase began
    // The match's setup: its mode, rules, seats (2 to kMaxSeats), teams and limits; the
    // computer's skill is not sent.
    MatchSetup setup = MatchSetup::duel(Rules::Duel);
    Outcome outcome;                           // of the match, once ended
    std::array<SeatStatus, kMaxSeats> seats{}; // the first setup.seats of them
    std::int8_t yourSeat = kWaiting;           // the seat the client drives in this match, if any
};

// An event of the server's match, where the server saw it.
struct WireEvent {
    // Shot, TankHit, WallHit, Jump, Landing or a battle's Destroyed
    GameEventType type = GameEventType::Shot;
    std::int8_t seat = kNoSeat;  // the tank hit, jumping, landing or destroyed
    std::int8_t owner = kNoSeat; // Shot, TankHit, WallHit: who fired the bullet; Destroyed: by whom
    std::uint32_t firedTick = 0; // and when: the bullet's name
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
    bool inPlay = true; // not destroyed and waiting to come back (Tank::inPlay)
};

// The view the other clients get of a tank.
TankView viewOf(const Tank& tank);

// The tank of ownSeat is sent whole, and its view is made from it on arrival.
struct Snapshot {
    std::uint16_t match = 0;
    std::uint32_t tick = 0;
    Phase phase = Phase::Title;
    std::uint32_t ack = 0; // the newest of the client's commands the server has
    // How early, in 1/kLeadUnit ticks, the first of the client's commands since the last
    // snapshot came; kNoLead when none came.
    std::int16_t lead = 0;
    std::uint8_t seatCount = MatchSetup::kMinSeats; // the match's
    std::array<TankView, kMaxSeats> tanks;          // the first seatCount of them
    bool hasOwn = false;     // the whole state of the client's own tank follows
    std::int8_t ownSeat = 0; // when hasOwn
    Tank own{kHullBounds, glm::vec3(0.0f), 0.0f}; // when hasOwn
};
// No coordinate of a tank or event the server sends is further out than this, in units.
inline constexpr float kLargestCoordinate = 1000.0f;
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
void encode(const Join& message, std::vector<std::uint8_t>& bytes);
void encode(const Admitted& message, std::vector<std::uint8_t>& bytes);
void encode(const Leave& message, std::vector<std::uint8_t>& bytes);
void encode(const Watching& message, std::vector<std::uint8_t>& bytes);
void encode(const ArenaPart& message, std::vector<std::uint8_t>& bytes);

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
bool decode(const std::uint8_t* data, std::size_t size, Join& message);
bool decode(const std::uint8_t* data, std::size_t size, Admitted& message);
bool decode(const std::uint8_t* data, std::size_t size, Leave& message);
bool decode(const std::uint8_t* data, std::size_t size, Watching& message);
bool decode(const std::uint8_t* data, std::size_t size, ArenaPart& message);

} // namespace protocol
