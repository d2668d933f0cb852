// What crosses the wire: every message reads back as it was written, the commands a client
// sends again and again cost little, and no run of bytes, however made, reads as a message
// unless it is one.
#include "net/Protocol.h"
#include "game/StateCodec.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

protocol::ArenaPart someArenaPart() {
    protocol::ArenaPart part;
    part.hash = 0xFEDCBA9876543210ull;
    part.total = 9000;
    part.offset = 4000;
    part.bytes.assign(4000, 'x');
    return part;
}

protocol::Commands someCommands() {
    protocol::Commands message;
    message.match = 3;
    message.firstTick = 0xFFFFFFF8u; // runs over the end of the tick counter
    for (int i = 0; i < 16; ++i) {
        TankCommand command;
        command.drive = i < 8 ? TankCommand::kFullDrive : static_cast<std::int16_t>(-32768 + i);
        command.turn = static_cast<std::int16_t>(i % 3 == 0 ? 10000 : -10000);
        command.aim = 0xFFFFFFFFu - static_cast<std::uint32_t>(i / 4);
        command.jump = i == 5;
        command.fire = i % 2 == 0;
        message.commands.push_back(command);
    }
    return message;
}

protocol::Snapshot someSnapshot() {
    protocol::Snapshot message;
    message.match = 65535;
    message.tick = 123456;
    message.phase = protocol::Phase::Playing;
    message.ack = 123460;
    message.lead = -37;
    message.seatCount = 2;
    for (int seat = 0; seat < message.seatCount; ++seat) {
        message.tanks[seat].pose = {glm::vec3(seat + 0.5f, 0.05f, -4.25f), 91.5f, -179.0f};
        message.tanks[seat].lives = static_cast<std::int8_t>(4 - seat);
        message.tanks[seat].graceTicks = 89;
        message.tanks[seat].speed = -4.75f;
    }
    message.hasOwn = true;
    message.own.position = glm::vec3(1.0f, 2.0f, 3.0f);
    message.own.speed = -2.5f;
    message.own.reloadTicks = 17;
    message.own.onGround = false;
    message.own.lives = 2;
    return message;
}

// A battle of eight: every seat's tank, the second one's whole.
protocol::Snapshot battleSnapshot() {
    protocol::Snapshot message = someSnapshot();
    message.seatCount = 8;
    for (std::size_t seat = 0; seat < 8; ++seat) {
        message.tanks[seat].pose = {glm::vec3(seat * 3.0f - 10.0f, 0.05f, 7.5f), 10.0f * seat,
                                    -5.0f * seat};
        message.tanks[seat].lives = 1;
    }
    message.ownSeat = 1;
    return message;
}

protocol::Status battleStatus() {
    protocol::Status message;
    message.match = 7;
    message.phase = protocol::Phase::Ended;
    message.tick = 4321;
    message.setup = MatchSetup::battle(8, true, 25, 600);
    message.outcome = Outcome::wonByTeam(1);
    const char* const names[] = {"Ada", "Ada 2", "Anvil", "~ Bo ~", "Cy", "Dee", "E", "F g"};
    for (std::size_t seat = 0; seat < 8; ++seat) {
        protocol::SeatStatus& each = message.seats[seat];
        each.occupant = seat < 2 ? protocol::Occupant::Person : protocol::Occupant::Computer;
        each.team = static_cast<std::int8_t>(seat % 2);
        each.frags = static_cast<std::int16_t>(seat == 3 ? -2 : seat * 3);
        each.deaths = static_cast<std::uint16_t>(seat + 40);
        each.roundTripMs = static_cast<std::uint16_t>(seat < 2 ? 120 + seat : 0);
        each.name = player_name::cleaned(names[seat], "?");
    }
    message.seats[0].occupant = protocol::Occupant::You;
    message.yourSeat = 7;
    return message;
}

protocol::Events someEvents() {
    protocol::Events message;
    message.match = 9;
    message.tick = 777;
    protocol::WireEvent shot;
    shot.type = GameEventType::Shot;
    shot.seat = 1;
    shot.owner = 1;
    shot.firedTick = 776;
    shot.position = glm::vec3(1, 0.06f, 2);
    shot.direction = glm::vec3(0, 0, -1);
    shot.origin = glm::vec3(1, 0.06f, 4.5f);
    protocol::WireEvent hit = shot;
    hit.type = GameEventType::TankHit;
    hit.seat = 0;
    hit.direction = glm::vec3(0.0f);
    hit.origin = glm::vec3(0.0f);
    protocol::WireEvent landing;
    landing.type = GameEventType::Landing;
    landing.seat = 0;
    message.events = {shot, hit, landing};
    return message;
}

template <typename Message> Bytes encoded(const Message& message) {
    Bytes bytes;
    protocol::encode(message, bytes);
    return bytes;
}

// Every way of reading, each a reader of one kind, for the fuzzing below.
struct Reader {
    const char* name;
    std::function<bool(const Bytes&, Bytes&)> readAndWriteBack;
};

template <typename Message> Reader readerOf(const char* name) {
    return {name, [](const Bytes& in, Bytes& out) {
                Message message;
                if (!protocol::decode(in.data(), in.size(), message)) {
                    return false;
                }
                protocol::encode(message, out);
                return true;
            }};
}

TEST(ProtocolTest, EveryMessageReadsBackExactlyAndRepeatedCommandsCostAByteEach) {
    const protocol::Commands commands = someCommands();
    protocol::Commands readCommands;
    const Bytes commandBytes = encoded(commands);
    ASSERT_TRUE(protocol::decode(commandBytes.data(), commandBytes.size(), readCommands));
    EXPECT_EQ(readCommands.match, 3);
    EXPECT_EQ(readCommands.firstTick, 0xFFFFFFF8u);
    EXPECT_EQ(readCommands.commands, commands.commands);

    protocol::Commands steady;
    steady.commands.assign(16, commands.commands[0]);
    // The header, the first command in full, then one byte for each that is the same again.
    EXPECT_EQ(encoded(steady).size(), 8u + 9u + 15u);

    const protocol::Snapshot snapshot = someSnapshot();
    const Bytes snapshotBytes = encoded(snapshot);
    EXPECT_LE(snapshotBytes.size(), protocol::kMaxSnapshotBytes);
    protocol::Snapshot readSnapshot;
    ASSERT_TRUE(protocol::decode(snapshotBytes.data(), snapshotBytes.size(), readSnapshot));
    EXPECT_EQ(encoded(readSnapshot), snapshotBytes);
    EXPECT_EQ(readSnapshot.lead, -37);
    EXPECT_EQ(readSnapshot.own.reloadTicks, 17);
    EXPECT_EQ(readSnapshot.tanks[1].pose.turretHeading, -179.0f);
    // The own tank's view is not sent twice: it is made from the tank sent whole.
    EXPECT_EQ(readSnapshot.tanks[0].pose.position, snapshot.own.position);
    EXPECT_EQ(readSnapshot.tanks[0].lives, 2);
    protocol::Snapshot withoutOwn = snapshot;
    withoutOwn.hasOwn = false;
    Bytes ownBytes;
    state_codec::writeTank(snapshot.own, ownBytes);
    constexpr std::size_t kViewBytes = 27;
    EXPECT_EQ(snapshotBytes.size(), encoded(withoutOwn).size() - kViewBytes + ownBytes.size());

    // A battle of eight: the setup, every seat's name and score, and a snapshot of every tank
    // within one datagram.
    const protocol::Status status = battleStatus();
    const Bytes statusBytes = encoded(status);
    protocol::Status readStatus;
    ASSERT_TRUE(protocol::decode(statusBytes.data(), statusBytes.size(), readStatus));
    EXPECT_EQ(encoded(readStatus), statusBytes);
    EXPECT_EQ(readStatus.setup, MatchSetup::battle(8, true, 25, 600, Skill::Classic));
    EXPECT_EQ(readStatus.outcome, Outcome::wonByTeam(1));
    EXPECT_STREQ(readStatus.seats[1].name.data(), "Ada 2");
    EXPECT_STREQ(readStatus.seats[3].name.data(), "~ Bo ~");
    EXPECT_EQ(readStatus.seats[3].frags, -2);
    EXPECT_EQ(readStatus.seats[7].deaths, 47);
    EXPECT_EQ(readStatus.seats[1].roundTripMs, 121);
    EXPECT_EQ(readStatus.seats[1].team, 1);
    EXPECT_EQ(readStatus.seats[0].occupant, protocol::Occupant::You);
    EXPECT_EQ(readStatus.yourSeat, 7);
    const Bytes battleBytes = encoded(battleSnapshot());
    EXPECT_LE(battleBytes.size(), protocol::kMaxSnapshotBytes);
    protocol::Snapshot readBattle;
    ASSERT_TRUE(protocol::decode(battleBytes.data(), battleBytes.size(), readBattle));
    EXPECT_EQ(readBattle.seatCount, 8);
    EXPECT_EQ(readBattle.tanks[7].pose.position, glm::vec3(11.0f, 0.05f, 7.5f));
    EXPECT_EQ(readBattle.tanks[1].pose.position, readBattle.own.position);
    // A name goes as it was given, cut to its room on the wire; the server makes a name of it.
    protocol::Join join;
    join.name = std::string(40, 'x') + "\n";
    const Bytes joinBytes = encoded(join);
    protocol::Join readJoin;
    ASSERT_TRUE(protocol::decode(joinBytes.data(), joinBytes.size(), readJoin));
    EXPECT_EQ(readJoin.name, std::string(protocol::kMaxNameBytes, 'x'));

    protocol::Admitted admitted;
    admitted.seat = 1;
    admitted.tick = 0xFFFFFFFFu;
    admitted.resumed = true;
    admitted.token.fill(0xAB);
    admitted.arena = 0x0123456789ABCDEFull;
    protocol::Admitted readAdmitted;
    const Bytes admittedBytes = encoded(admitted);
    ASSERT_TRUE(protocol::decode(admittedBytes.data(), admittedBytes.size(), readAdmitted));
    EXPECT_EQ(readAdmitted.seat, 1);
    EXPECT_EQ(readAdmitted.tick, 0xFFFFFFFFu);
    EXPECT_TRUE(readAdmitted.resumed);
    EXPECT_EQ(readAdmitted.token, admitted.token);
    // A spectator is admitted to no seat, and has none to take back.
    admitted.seat = protocol::kWaiting;
    const Bytes watcherBytes = encoded(admitted);
    EXPECT_FALSE(protocol::decode(watcherBytes.data(), watcherBytes.size(), readAdmitted));
    admitted.resumed = false;
    const Bytes watcherAgain = encoded(admitted);
    ASSERT_TRUE(protocol::decode(watcherAgain.data(), watcherAgain.size(), readAdmitted));
    EXPECT_EQ(readAdmitted.seat, protocol::kWaiting);
    EXPECT_EQ(readAdmitted.arena, admitted.arena);
    // An arena's part reads back; one that is empty, larger than a part may be, or past its
    // total does not.
    const protocol::ArenaPart part = someArenaPart();
    protocol::ArenaPart readPart;
    const Bytes partBytes = encoded(part);
    ASSERT_TRUE(protocol::decode(partBytes.data(), partBytes.size(), readPart));
    EXPECT_EQ(readPart.hash, part.hash);
    EXPECT_EQ(readPart.total, part.total);
    EXPECT_EQ(readPart.offset, part.offset);
    EXPECT_EQ(readPart.bytes, part.bytes);
    for (const auto& [what, bad] : std::vector<std::pair<const char*, protocol::ArenaPart>>{
             {"no bytes", {1, 10, 0, {}}},
             {"past its total", {1, 100, 50, Bytes(51, 'x')}},
             {"a total past 64 KiB", {1, 64 * 1024 + 1, 0, Bytes(10, 'x')}},
             {"a part past 4000 bytes", {1, 5000, 0, Bytes(4001, 'x')}}}) {
        const Bytes badBytes = encoded(bad);
        EXPECT_FALSE(protocol::decode(badBytes.data(), badBytes.size(), readPart)) << what;
    }
    // A Hello of another version reads as far as its version, whatever follows.
    protocol::Hello later;
    later.version = protocol::kVersion + 1;
    Bytes laterBytes = encoded(later);
    laterBytes.resize(laterBytes.size() + 50, 1);
    protocol::Hello readLater;
    ASSERT_TRUE(protocol::decode(laterBytes.data(), laterBytes.size(), readLater));
    EXPECT_EQ(readLater.version, protocol::kVersion + 1);

    const Bytes eventBytes = encoded(someEvents());
    protocol::Events readEvents;
    ASSERT_TRUE(protocol::decode(eventBytes.data(), eventBytes.size(), readEvents));
    ASSERT_EQ(readEvents.events.size(), 3u);
    EXPECT_EQ(readEvents.events[0].origin, glm::vec3(1, 0.06f, 4.5f));
    EXPECT_EQ(readEvents.events[1].firedTick, 776u);
    EXPECT_EQ(readEvents.events[2].type, GameEventType::Landing);
    EXPECT_EQ(encoded(readEvents), eventBytes);

    // A message of one kind is no message of another.
    protocol::Hello hello;
    EXPECT_FALSE(protocol::decode(snapshotBytes.data(), snapshotBytes.size(), hello));
    EXPECT_FALSE(protocol::decode(eventBytes.data(), eventBytes.size(), readCommands));
}

TEST(ProtocolTest, CutMendedAndRandomBytesAreRefusedOrReadAsAWholeMessage) {
    protocol::Status status;
    status.match = 2;
    status.phase = protocol::Phase::Ended;
    status.outcome = Outcome::draw();
    status.seats[0].occupant = protocol::Occupant::You;
    status.seats[1].occupant = protocol::Occupant::Person;
    status.yourSeat = 0;
    protocol::Challenge challenge;
    challenge.nonce.fill(7);
    const std::vector<std::pair<Bytes, Reader>> samples{
        {encoded(protocol::Hello()), readerOf<protocol::Hello>("hello")},
        {encoded(challenge), readerOf<protocol::Challenge>("challenge")},
        {encoded(protocol::Answer()), readerOf<protocol::Answer>("answer")},
        {encoded(protocol::Refused()), readerOf<protocol::Refused>("refused")},
        {encoded(protocol::Welcome()), readerOf<protocol::Welcome>("welcome")},
        {encoded(status), readerOf<protocol::Status>("status")},
        {encoded(someEvents()), readerOf<protocol::Events>("events")},
        {encoded(protocol::Ready{4}), readerOf<protocol::Ready>("ready")},
        {encoded(someCommands()), readerOf<protocol::Commands>("commands")},
        {encoded(someSnapshot()), readerOf<protocol::Snapshot>("snapshot")},
        {encoded(protocol::Join{true, false, {}, "Ada\x7f\xff"}), readerOf<protocol::Join>("join")},
        {encoded(protocol::Join{false, true, {}, "Eve"}),
         readerOf<protocol::Join>("a watcher's join")},
        {encoded(battleStatus()), readerOf<protocol::Status>("battle status")},
        {encoded(battleSnapshot()), readerOf<protocol::Snapshot>("battle snapshot")},
        {encoded(protocol::Admitted()), readerOf<protocol::Admitted>("admitted")},
        {encoded(protocol::Leave()), readerOf<protocol::Leave>("leave")},
        {encoded(protocol::Watching()), readerOf<protocol::Watching>("watching")},
        {encoded(protocol::Admitted{protocol::kWaiting, 9, false, {}}),
         readerOf<protocol::Admitted>("a spectator's admitted")},
        {encoded(someArenaPart()), readerOf<protocol::ArenaPart>("arena part")},
    };
    std::mt19937 random(2024);
    for (const auto& [valid, reader] : samples) {
        Bytes out;
        ASSERT_TRUE(reader.readAndWriteBack(valid, out)) << reader.name;
        EXPECT_EQ(out, valid) << reader.name;
        // Every cut, and one byte too many.
        for (std::size_t size = 0; size < valid.size(); ++size) {
            out.clear();
            EXPECT_FALSE(reader.readAndWriteBack(Bytes(valid.begin(), valid.begin() + size), out))
                << reader.name << " cut to " << size;
        }
        Bytes longer = valid;
        longer.push_back(0);
        EXPECT_FALSE(reader.readAndWriteBack(longer, out)) << reader.name << " with a byte more";
        // Bytes changed at random: what reads at all reads as a whole message, which writes
        // back to the bytes read.
        for (int trial = 0; trial < 3000 && valid.size() > 1; ++trial) {
            Bytes mended = valid;
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
                mended[1 + random() % (mended.size() - 1)] = static_cast<std::uint8_t>(random());
            }
            out.clear();
            if (reader.readAndWriteBack(mended, out)) {
                Bytes again;
                ASSERT_TRUE(reader.readAndWriteBack(out, again)) << reader.name;
                EXPECT_EQ(again, out) << reader.name;
            }
        }
        // And noise after the kind byte.
        for (int trial = 0; trial < 300; ++trial) {
            Bytes noise(random() % 400, 0);
            for (std::uint8_t& byte : noise) {
                byte = static_cast<std::uint8_t>(random());
            }
            if (!noise.empty()) {
                noise[0] = valid[0];
            }
            out.clear();
            reader.readAndWriteBack(noise, out);
        }
    }
}

} // namespace
