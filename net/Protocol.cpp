#include "net/Protocol.h"

#include "game/ByteReader.h"
#include "game/ByteWriter.h"
#include "game/StateCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

namespace protocol {

namespace {

// The fields of a command that differ from the one before it, and its two flags.
// The own-seat byte of a snapshot that carries no tank whole.
constexpr std::uint8_t kNone = 0xFF;

enum CommandBits : std::uint8_t {
    kDriveBit = 1,
    kTurnBit = 2,
    kAimBit = 4,
    kJumpBit = 8,
    kFireBit = 16,
    kAllCommandBits = 31,
};

void start(ByteWriter& out, Kind kind) {
    out.u8(static_cast<std::uint8_t>(kind));
}

// Reads the kind byte; false unless it is the one expected.
bool opens(ByteReader& in, Kind kind) {
    return in.u8() == static_cast<std::uint8_t>(kind) && in.ok();
}

// The whole message was read, and nothing is left over.
bool ends(const ByteReader& in) {
    return in.ok() && in.remaining() == 0;
}

// Decodes a whole message of kind whose fields read(in, message) takes in: into message only
// when every byte was read and none is left over.
template <typename Message, typename Read>
bool decodeWhole(const std::uint8_t* data, std::size_t size, Kind kind, Message& message,
                 Read&& read) {
    ByteReader in(data, size);
    if (!opens(in, kind)) {
        return false;
    }
    Message fields = message;
    read(in, fields);
    if (!ends(in)) {
        return false;
    }
    message = fields;
    return true;
}

template <typename Enum> bool readEnum(ByteReader& in, Enum last, Enum& value) {
    const std::uint8_t read = in.u8();
    if (read > static_cast<std::uint8_t>(last)) {
        in.fail();
        return false;
    }
    value = static_cast<Enum>(read);
    return true;
}

// A seat, or kNoSeat when allowNone.
std::int8_t readSeat(ByteReader& in, bool allowNone) {
    const auto seat = static_cast<std::int8_t>(in.u8());
    if (seat >= kMaxSeats || seat < (allowNone ? kNoSeat : 0)) {
        in.fail();
    }
    return seat;
}

void writeName(ByteWriter& out, const char* name, std::size_t length) {
    out.u8(static_cast<std::uint8_t>(length));
    out.raw(reinterpret_cast<const std::uint8_t*>(name), length);
}

// A name's bytes, at most most of them.
std::size_t readName(ByteReader& in, char* name, std::size_t most) {
    const std::size_t length = in.u8();
    if (length > most) {
        in.fail();
        return 0;
    }
    for (std::size_t i = 0; i < length; ++i) {
        name[i] = static_cast<char>(in.u8());
    }
    return in.ok() ? length : 0;
}

void writeVec(ByteWriter& out, glm::vec3 v) {
    out.f32(v.x);
    out.f32(v.y);
    out.f32(v.z);
}

glm::vec3 readVec(ByteReader& in) {
    const float x = in.f32();
    const float y = in.f32();
    const float z = in.f32();
    return {x, y, z};
}

template <std::size_t N> void writeBytes(ByteWriter& out, const std::array<std::uint8_t, N>& a) {
    out.raw(a.data(), a.size());
}

template <std::size_t N> void readBytes(ByteReader& in, std::array<std::uint8_t, N>& a) {
    for (std::uint8_t& byte : a) {
        byte = in.u8();
    }
}

bool near(float value) {
    return std::abs(value) <= kLargestCoordinate;
}

bool near(glm::vec3 v) {
    return near(v.x) && near(v.y) && near(v.z);
}

// A coordinate (or anything that moves with one) beyond the largest fails the read.
void checkNear(ByteReader& in, glm::vec3 v) {
    if (!near(v)) {
        in.fail();
    }
}

// Every place and speed of a tank the client steps its prediction from is within the world;
// headings and the jump's timers add up as a match goes on, and are only finite.
bool plausible(const Tank& tank) {
    const int kMostTicks = 1 << 20;
    const auto ticks = [&](int value) { return value >= -kMostTicks && value <= kMostTicks; };
    return near(tank.position) && near(tank.lastMove) && near(tank.spawnPosition) &&
           near(tank.previousPose.position) && near(tank.speed) && near(tank.groundLevel) &&
           near(tank.floorLevel) && near(tank.bottom) && near(tank.top) &&
           near(tank.transform.p.x) && near(tank.transform.p.y) &&
           std::abs(tank.transform.q.s) <= 1.5f && std::abs(tank.transform.q.c) <= 1.5f &&
           ticks(tank.lives) && ticks(tank.initialLives) && ticks(tank.blockedSteps) &&
           ticks(tank.reloadTicks) && ticks(tank.graceTicks);
}

void writeView(ByteWriter& out, const TankView& tank) {
    writeVec(out, tank.pose.position);
    out.f32(tank.pose.heading);
    out.f32(tank.pose.turretHeading);
    out.u8(static_cast<std::uint8_t>(tank.lives));
    out.u8(tank.graceTicks);
    out.f32(tank.speed);
    out.u8(tank.inPlay ? 1 : 0);
}

void readView(ByteReader& in, TankView& tank) {
    tank.pose.position = readVec(in);
    tank.pose.heading = in.f32();
    tank.pose.turretHeading = in.f32();
    tank.lives = static_cast<std::int8_t>(in.u8());
    tank.graceTicks = in.u8();
    tank.speed = in.f32();
    const std::uint8_t inPlay = in.u8();
    if (inPlay > 1) {
        in.fail();
    }
    tank.inPlay = inPlay == 1;
    checkNear(in, glm::vec3(tank.speed, 0.0f, 0.0f));
    checkNear(in, tank.pose.position);
}

} // namespace

const char* nameOf(Kind kind) {
    switch (kind) {
    case Kind::Hello:
        return "Hello";
    case Kind::Challenge:
        return "Challenge";
    case Kind::Answer:
        return "Answer";
    case Kind::Refused:
        return "Refused";
    case Kind::Welcome:
        return "Welcome";
    case Kind::Status:
        return "Status";
    case Kind::Events:
        return "Events";
    case Kind::Ready:
        return "Ready";
    case Kind::Commands:
        return "Commands";
    case Kind::Snapshot:
        return "Snapshot";
    case Kind::Join:
        return "Join";
    case Kind::Admitted:
        return "Admitted";
    case Kind::Leave:
        return "Leave";
    case Kind::Watching:
        return "Watching";
    case Kind::ArenaPart:
        return "ArenaPart";
    }
    return "message";
}

TankView viewOf(const Tank& tank) {
    TankView view;
    view.pose = tank.pose();
    view.lives = static_cast<std::int8_t>(std::clamp(tank.lives, -128, 127));
    view.graceTicks = static_cast<std::uint8_t>(std::clamp(tank.graceTicks, 0, 255));
    view.speed = tank.speed;
    view.inPlay = tank.inPlay();
    return view;
}

bool sentAsEvent(GameEventType type) {
    return type == GameEventType::Shot || type == GameEventType::TankHit ||
           type == GameEventType::WallHit || type == GameEventType::Jump ||
           type == GameEventType::Landing || type == GameEventType::Destroyed;
}

void encode(const Hello& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Hello);
    out.u32(kMagic);
    out.u32(message.version);
    writeBytes(out, message.key);
}

void encode(const Challenge& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Challenge);
    writeBytes(out, message.nonce);
    writeBytes(out, message.salt);
    writeBytes(out, message.key);
}

void encode(const Answer& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Answer);
    writeBytes(out, message.nonce);
    writeBytes(out, message.mac);
}

void encode(const Refused& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Refused);
    out.u8(static_cast<std::uint8_t>(message.reason));
    out.u32(message.serverVersion);
}

void encode(const Welcome& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Welcome);
    writeBytes(out, message.key);
    writeBytes(out, message.mac);
}

void encode(const Join& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Join);
    out.u8(message.resume ? 1 : 0);
    out.u8(message.watch ? 1 : 0);
    writeBytes(out, message.token);
    writeName(out, message.name.data(), std::min(message.name.size(), kMaxNameBytes));
}

void encode(const Admitted& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Admitted);
    out.u8(static_cast<std::uint8_t>(message.seat));
    out.u32(message.tick);
    out.u8(message.resumed ? 1 : 0);
    writeBytes(out, message.token);
    out.u64(message.arena);
}

void encode(const ArenaPart& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::ArenaPart);
    out.u64(message.hash);
    out.u32(message.total);
    out.u32(message.offset);
    out.u16(static_cast<std::uint16_t>(message.bytes.size()));
    out.raw(message.bytes.data(), message.bytes.size());
}

void encode(const Leave&, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Leave);
}

void encode(const Watching&, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Watching);
}

void encode(const Status& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Status);
    out.u16(message.match);
    out.u8(static_cast<std::uint8_t>(message.phase));
    out.u32(message.tick);
    const MatchSetup& setup = message.setup;
    out.u8(static_cast<std::uint8_t>(setup.mode));
    out.u8(static_cast<std::uint8_t>(setup.rules));
    out.u8(static_cast<std::uint8_t>(setup.seats));
    out.u8(setup.teams ? 1 : 0);
    out.u8(static_cast<std::uint8_t>(setup.fragLimit));
    out.u16(static_cast<std::uint16_t>(setup.timeLimitSeconds));
    out.u8(static_cast<std::uint8_t>(message.outcome.kind));
    out.u8(static_cast<std::uint8_t>(message.outcome.seat));
    out.u8(static_cast<std::uint8_t>(message.outcome.team));
    for (int seat = 0; seat < setup.seats; ++seat) {
        const SeatStatus& each = message.seats[static_cast<std::size_t>(seat)];
        out.u8(static_cast<std::uint8_t>(each.occupant));
        out.u8(static_cast<std::uint8_t>(each.lives));
        out.u8(static_cast<std::uint8_t>(each.team));
        out.i16(each.frags);
        out.u16(each.deaths);
        out.u16(each.roundTripMs);
        writeName(out, each.name.data(), std::strlen(each.name.data()));
    }
    out.u8(static_cast<std::uint8_t>(message.yourSeat));
}

void encode(const Events& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Events);
    out.u16(message.match);
    out.u32(message.tick);
    out.u8(static_cast<std::uint8_t>(message.events.size()));
    for (const WireEvent& event : message.events) {
        out.u8(static_cast<std::uint8_t>(event.type));
        out.u8(static_cast<std::uint8_t>(event.seat));
        out.u8(static_cast<std::uint8_t>(event.owner));
        out.u32(event.firedTick);
        writeVec(out, event.position);
        if (event.type == GameEventType::Shot) {
            writeVec(out, event.direction);
            writeVec(out, event.origin);
        }
    }
}

void encode(const Ready& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Ready);
    out.u16(message.match);
}

void encode(const Commands& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Commands);
    out.u16(message.match);
    out.u32(message.firstTick);
    out.u8(static_cast<std::uint8_t>(message.commands.size()));
    TankCommand before;
    for (const TankCommand& command : message.commands) {
        const std::uint8_t bits = (command.drive != before.drive ? kDriveBit : 0) |
                                  (command.turn != before.turn ? kTurnBit : 0) |
                                  (command.aim != before.aim ? kAimBit : 0) |
                                  (command.jump ? kJumpBit : 0) | (command.fire ? kFireBit : 0);
        out.u8(bits);
        if ((bits & kDriveBit) != 0) {
            out.i16(command.drive);
        }
        if ((bits & kTurnBit) != 0) {
            out.i16(command.turn);
        }
        if ((bits & kAimBit) != 0) {
            out.u32(command.aim);
        }
        before = command;
    }
}

void encode(const Snapshot& message, std::vector<std::uint8_t>& bytes) {
    ByteWriter out(bytes);
    start(out, Kind::Snapshot);
    out.u16(message.match);
    out.u32(message.tick);
    out.u8(static_cast<std::uint8_t>(message.phase));
    out.u32(message.ack);
    out.i16(message.lead);
    out.u8(message.hasOwn ? static_cast<std::uint8_t>(message.ownSeat) : kNone);
    out.u8(message.seatCount);
    for (int seat = 0; seat < message.seatCount; ++seat) {
        if (!message.hasOwn || seat != message.ownSeat) {
            writeView(out, message.tanks[seat]);
        }
    }
    if (message.hasOwn) {
        state_codec::writeTank(message.own, bytes);
    }
}

bool kindOf(const std::uint8_t* data, std::size_t size, Kind& kind) {
    if (size == 0 || data[0] < static_cast<std::uint8_t>(Kind::Hello) ||
        data[0] > static_cast<std::uint8_t>(kLastKind)) {
        return false;
    }
    kind = static_cast<Kind>(data[0]);
    return true;
}

bool decode(const std::uint8_t* data, std::size_t size, Hello& message) {
    if (size > kMaxHandshakeBytes) {
        return false;
    }
    return decodeWhole(data, size, Kind::Hello, message, [](ByteReader& in, Hello& read) {
        if (in.u32() != kMagic) {
            in.fail();
        }
        read.version = in.u32();
        if (read.version != kVersion) {
            in.skip(in.remaining());
            return;
        }
        readBytes(in, read.key);
    });
}

bool decode(const std::uint8_t* data, std::size_t size, Challenge& message) {
    return decodeWhole(data, size, Kind::Challenge, message, [](ByteReader& in, Challenge& read) {
        readBytes(in, read.nonce);
        readBytes(in, read.salt);
        readBytes(in, read.key);
    });
}

bool decode(const std::uint8_t* data, std::size_t size, Answer& message) {
    return decodeWhole(data, size, Kind::Answer, message, [](ByteReader& in, Answer& read) {
        readBytes(in, read.nonce);
        readBytes(in, read.mac);
    });
}

bool decode(const std::uint8_t* data, std::size_t size, Refused& message) {
    return decodeWhole(data, size, Kind::Refused, message, [](ByteReader& in, Refused& read) {
        readEnum(in, Refusal::SeatGone, read.reason);
        read.serverVersion = in.u32();
    });
}

bool decode(const std::uint8_t* data, std::size_t size, Welcome& message) {
    return decodeWhole(data, size, Kind::Welcome, message, [](ByteReader& in, Welcome& read) {
        readBytes(in, read.key);
        readBytes(in, read.mac);
    });
}

bool decode(const std::uint8_t* data, std::size_t size, Join& message) {
    return decodeWhole(data, size, Kind::Join, message, [](ByteReader& in, Join& read) {
        read.resume = in.flag();
        read.watch = in.flag();
        readBytes(in, read.token);
        char name[kMaxNameBytes];
        read.name.assign(name, readName(in, name, sizeof name));
    });
}

bool decode(const std::uint8_t* data, std::size_t size, Admitted& message) {
    return decodeWhole(data, size, Kind::Admitted, message, [](ByteReader& in, Admitted& read) {
        read.seat = readSeat(in, true);
        read.tick = in.u32();
        read.resumed = in.flag();
        if (read.seat == kWaiting && read.resumed) {
            in.fail(); // a spectator has no seat to take back
        }
        readBytes(in, read.token);
        read.arena = in.u64();
    });
}

bool decode(const std::uint8_t* data, std::size_t size, ArenaPart& message) {
    return decodeWhole(data, size, Kind::ArenaPart, message,
                       [data](ByteReader& in, ArenaPart& read) {
                           read.hash = in.u64();
                           read.total = in.u32();
                           read.offset = in.u32();
                           const std::size_t length = in.u16();
                           if (!in.ok() || read.total == 0 || read.total > kMaxArenaBytes ||
                               length == 0 || length > kArenaPartBytes || length > in.remaining() ||
                               read.offset > read.total - length) {
                               in.fail();
                               return;
                           }
                           const std::size_t from = in.offset();
                           in.skip(length);
                           read.bytes.assign(data + from, data + from + length);
                       });
}

bool decode(const std::uint8_t* data, std::size_t size, Leave& message) {
    return decodeWhole(data, size, Kind::Leave, message, [](ByteReader&, Leave&) {});
}

bool decode(const std::uint8_t* data, std::size_t size, Watching& message) {
    return decodeWhole(data, size, Kind::Watching, message, [](ByteReader&, Watching&) {});
}

bool decode(const std::uint8_t* data, std::size_t size, Status& message) {
    return decodeWhole(data, size, Kind::Status, message, [](ByteReader& in, Status& read) {
        read.match = in.u16();
        readEnum(in, Phase::Ended, read.phase);
        read.tick = in.u32();
        MatchSetup& setup = read.setup;
        readEnum(in, Mode::Battle, setup.mode);
        readEnum(in, Rules::Duel, setup.rules);
        setup.seats = in.u8();
        setup.teams = in.flag();
        setup.fragLimit = in.u8();
        setup.timeLimitSeconds = in.u16();
        setup.skill = Skill::Classic; // the computer's is the server's business
        // Only a setup a match is played with: the client builds its matches from it.
        if (setup.clamped() != setup) {
            in.fail();
            return;
        }
        readEnum(in, Outcome::Kind::Draw, read.outcome.kind);
        read.outcome.seat = readSeat(in, true);
        read.outcome.team = static_cast<std::int8_t>(in.u8());
        if (read.outcome.team < kNoTeam || read.outcome.team > 1 ||
            read.outcome.seat >= setup.seats) {
            in.fail();
        }
        for (int seat = 0; seat < setup.seats && in.ok(); ++seat) {
            SeatStatus& each = read.seats[static_cast<std::size_t>(seat)];
            readEnum(in, Occupant::You, each.occupant);
            each.lives = static_cast<std::int8_t>(in.u8());
            each.team = static_cast<std::int8_t>(in.u8());
            each.frags = in.i16();
            each.deaths = in.u16();
            each.roundTripMs = in.u16();
            char name[player_name::kMaxLength];
            const std::size_t length = readName(in, name, sizeof name);
            const std::string_view text(name, length);
            if (!player_name::valid(text) || each.team < 0 || each.team > 1) {
                in.fail();
            }
            each.name = player_name::cleaned(text, "?");
        }
        read.yourSeat = readSeat(in, true);
        if (read.yourSeat >= setup.seats) {
            in.fail();
        }
    });
}

bool decode(const std::uint8_t* data, std::size_t size, Events& message) {
    ByteReader in(data, size);
    if (!opens(in, Kind::Events)) {
        return false;
    }
    const std::uint16_t match = in.u16();
    const std::uint32_t tick = in.u32();
    const std::uint8_t count = in.u8();
    if (count > kMaxEventsPerMessage) {
        return false;
    }
    // Read into the message's own list, which keeps its room from one message to the next.
    std::vector<WireEvent>& events = message.events;
    events.clear();
    for (std::uint8_t i = 0; i < count && in.ok(); ++i) {
        WireEvent event;
        const std::uint8_t type = in.u8();
        event.type = static_cast<GameEventType>(type);
        if (type > static_cast<std::uint8_t>(GameEventType::MatchOver) ||
            !sentAsEvent(event.type)) {
            in.fail();
        }
        event.seat = readSeat(in, true);
        event.owner = readSeat(in, true);
        event.firedTick = in.u32();
        event.position = readVec(in);
        checkNear(in, event.position);
        if (event.type == GameEventType::Shot) {
            event.direction = readVec(in);
            event.origin = readVec(in);
            checkNear(in, event.origin);
            const float length = glm::length(event.direction);
            if (!(length >= 0.5f && length <= 2.0f)) {
                in.fail();
            }
        }
        events.push_back(event);
    }
    if (!ends(in)) {
        events.clear();
        return false;
    }
    message.match = match;
    message.tick = tick;
    return true;
}

bool decode(const std::uint8_t* data, std::size_t size, Ready& message) {
    return decodeWhole(data, size, Kind::Ready, message,
                       [](ByteReader& in, Ready& read) { read.match = in.u16(); });
}

bool decode(const std::uint8_t* data, std::size_t size, Commands& message) {
    ByteReader in(data, size);
    if (!opens(in, Kind::Commands)) {
        return false;
    }
    const std::uint16_t match = in.u16();
    const std::uint32_t firstTick = in.u32();
    const std::uint8_t count = in.u8();
    if (count == 0 || count > kMaxCommandsPerDatagram) {
        return false;
    }
    std::vector<TankCommand>& commands = message.commands;
    commands.clear();
    TankCommand command;
    for (std::uint8_t i = 0; i < count && in.ok(); ++i) {
        const std::uint8_t bits = in.u8();
        if ((bits & ~kAllCommandBits) != 0) {
            in.fail();
        }
        if ((bits & kDriveBit) != 0) {
            command.drive = in.i16();
        }
        if ((bits & kTurnBit) != 0) {
            command.turn = in.i16();
        }
        if ((bits & kAimBit) != 0) {
            command.aim = in.u32();
        }
        command.jump = (bits & kJumpBit) != 0;
        command.fire = (bits & kFireBit) != 0;
        commands.push_back(command);
    }
    if (!ends(in)) {
        commands.clear();
        return false;
    }
    message.match = match;
    message.firstTick = firstTick;
    return true;
}

bool decode(const std::uint8_t* data, std::size_t size, Snapshot& message) {
    return decodeWhole(data, size, Kind::Snapshot, message, [](ByteReader& in, Snapshot& read) {
        read.match = in.u16();
        read.tick = in.u32();
        readEnum(in, Phase::Ended, read.phase);
        read.ack = in.u32();
        read.lead = in.i16();
        const std::uint8_t ownSeat = in.u8();
        read.hasOwn = ownSeat != kNone;
        read.seatCount = in.u8();
        if (read.seatCount < MatchSetup::kMinSeats || read.seatCount > kMaxSeats ||
            (read.hasOwn && ownSeat >= read.seatCount)) {
            in.fail();
            return;
        }
        read.ownSeat = static_cast<std::int8_t>(read.hasOwn ? ownSeat : 0);
        for (int seat = 0; seat < read.seatCount && in.ok(); ++seat) {
            if (!read.hasOwn || seat != read.ownSeat) {
                readView(in, read.tanks[seat]);
            }
        }
        if (read.hasOwn && in.ok()) {
            if (!state_codec::readTank(in, read.own) || !plausible(read.own)) {
                in.fail();
            }
            read.tanks[read.ownSeat] = viewOf(read.own);
        }
    });
}

} // namespace protocol
