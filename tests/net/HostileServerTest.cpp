// A client that distrusts its server: a fake server made of the game's own parts completes the
// handshake and then sends every kind of message with extreme values (ticks 2^31 away, seats
// from -128 to 127, counts and lengths past their most, a match begun 2^30 ticks ago), or a
// Challenge again and again. Each
// time the client prints one line on its error stream, goes back to its title, never replays
// more ticks in a frame than its command history holds, and hashes the password at most once
// per connection; with a password it takes no Welcome that does not prove the password too.
// The sanitizers watch it all.
#include "NetPlay.h"
#include "assets/ArenaCache.h"
#include "assets/ArenaFile.h"
#include "assets/ArenaFolders.h"
#include "client/GameClient.h"
#include "net/Handshake.h"
#include "net/ServerGate.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>

namespace {

using namespace netplay;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kAdmittedTick = 1000;
constexpr std::uint32_t kFar = 0x80000000u; // 2^31 ticks
const char* const kPassword = "correct horse";

template <typename Message> Bytes encoded(const Message& message) {
    Bytes bytes;
    protocol::encode(message, bytes);
    return bytes;
}

protocol::Status playing(std::uint32_t tick) {
    protocol::Status status;
    status.match = 1;
    status.phase = protocol::Phase::Playing;
    status.tick = tick;
    status.seats[0].occupant = protocol::Occupant::You;
    for (protocol::SeatStatus& seat : status.seats) {
        seat.lives = 5;
    }
    status.yourSeat = 0;
    return status;
}

protocol::Snapshot snapshotAt(std::uint32_t tick) {
    protocol::Snapshot snapshot;
    snapshot.match = 1;
    snapshot.tick = tick;
    snapshot.phase = protocol::Phase::Playing;
    snapshot.ack = tick;
    snapshot.lead = protocol::kNoLead;
    return snapshot;
}

protocol::Events shotsAt(std::uint32_t tick, std::size_t count) {
    protocol::Events events;
    events.match = 1;
    events.tick = tick;
    protocol::WireEvent shot;
    shot.type = GameEventType::Shot;
    shot.seat = 1;
    shot.owner = 1;
    shot.firedTick = tick;
    shot.direction = glm::vec3(0.0f, 0.0f, -1.0f);
    events.events.assign(count, shot);
    return events;
}

// What a fake server sends once it has admitted the client: whole messages, each on a channel.
struct Sent {
    std::uint8_t channel;
    Bytes bytes;
};

struct Case {
    const char* name;
    const char* line; // what the client says on its error stream
    bool password = false;
    bool challengeAgain = false;
    std::function<std::vector<Sent>()> script;
    int admittedSeat = 0; // the seat byte of the admission
    // With a password: a Welcome whose proof is made with another password, or one that comes
    // without a Challenge (a man in the middle who lacks the password).
    bool wrongProof = false;
    bool skipChallenge = false;
    // Sent half a second after the script, if any.
    std::function<std::vector<Sent>()> later = nullptr;
    // Before the admission: the arena's parts, each a whole message, and the hash the admission
    // names (0: the built-in arena's).
    std::vector<Bytes> arenaParts = {};
    std::uint64_t arena = 0;
};

// A message with one byte set to value.
Bytes patched(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
}

// A server of the game's own parts that says what a case tells it to.
class FakeServer {
public:
    FakeServer()
        : gate(1, limits(), std::chrono::steady_clock::now()), host(NetHost::listening(0, 1)) {
        handshake::ready();
        host.guard(gate);
        salt = handshake::freshSalt();
        key = *handshake::keyOf(kPassword, salt);
        wrongKey = *handshake::keyOf("battery staple", salt);
    }
    std::uint16_t port() const { return host.port(); }

    void begin(const Case& played) {
        current = &played;
        if (peer != nullptr) {
            enet_peer_reset(peer); // the last case's client went without a word
        }
        peer = nullptr;
        challenges = 0;
        servicesSinceAdmission = -1;
        gate.guard(0).reset();
    }
    void service() {
        if (servicesSinceAdmission >= 0 && ++servicesSinceAdmission == kLaterServices &&
            current->later && peer != nullptr) {
            send(current->later());
        }
        host.service(0, [&](const ENetEvent& event) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                peer = event.peer;
                gate.guard(0).reset();
            } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                onReceive(event.channelID, event.packet->data, event.packet->dataLength);
            } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                peer = nullptr;
            }
        });
    }
    int challenges = 0;

private:
    static ServerGate::Limits limits() {
        ServerGate::Limits chosen;
        chosen.reserved = 0;
        return chosen;
    }
    void sendPlain(const Bytes& bytes) {
        NetHost::send(peer, protocol::kControl, NetHost::Delivery::Reliable, bytes.data(),
                      bytes.size());
    }
    void challenge() {
        protocol::Challenge challenge;
        challenge.nonce = handshake::freshNonce();
        challenge.salt = salt;
        challenge.key = keys.publicKey;
        transcript.serverNonce = challenge.nonce;
        transcript.serverKey = keys.publicKey;
        gate.guard(0).expect({protocol::Kind::Answer});
        ++challenges;
        sendPlain(encoded(challenge));
    }
    void welcome(const protocol::Mac& mac) {
        protocol::Welcome welcome;
        welcome.key = keys.publicKey;
        welcome.mac = mac;
        sendPlain(encoded(welcome));
        Seal::Key receive;
        Seal::Key send;
        handshake::serverSession(keys, transcript.clientKey, receive, send);
        gate.guard(0).link.begin(receive, send);
    }
    void onReceive(std::uint8_t channel, const std::uint8_t* data, std::size_t size) {
        protocol::Hello hello;
        protocol::Answer answer;
        if (!gate.guard(0).keyed() && protocol::decode(data, size, hello)) {
            keys = handshake::freshKeyPair();
            transcript = handshake::Transcript();
            transcript.clientKey = hello.key;
            transcript.serverKey = keys.publicKey;
            if (current->password && !current->skipChallenge) {
                challenge();
            } else {
                welcome(protocol::Mac{});
            }
        } else if (!gate.guard(0).keyed() && protocol::decode(data, size, answer)) {
            transcript.clientNonce = answer.nonce;
            if (current->challengeAgain) {
                challenge();
            } else {
                welcome(handshake::proof(current->wrongProof ? wrongKey : key,
                                         handshake::Side::Server, transcript));
            }
        } else if (gate.guard(0).keyed()) {
            gate.guard(0).link.receive(channel, data, size,
                                       [&](const std::uint8_t* message, std::size_t length) {
                                           protocol::Join join;
                                           if (protocol::decode(message, length, join)) {
                                               admit();
                                           }
                                       });
        }
    }
    // The client asked for a seat: in, a status, and the case's messages.
    void admit() {
        protocol::Admitted admitted;
        admitted.tick = kAdmittedTick;
        admitted.arena = current->arena != 0 ? current->arena : Arena::standard().hash();
        SealedLink& link = gate.guard(0).link;
        for (const Bytes& part : current->arenaParts) {
            link.queue(part);
            link.flush(peer);
        }
        link.queue(patched(encoded(admitted), 1, static_cast<std::uint8_t>(current->admittedSeat)));
        link.queue(encoded(playing(kAdmittedTick)));
        link.flush(peer);
        send(current->script());
        servicesSinceAdmission = 0;
    }
    void send(const std::vector<Sent>& messages) {
        SealedLink& link = gate.guard(0).link;
        for (const Sent& sent : messages) {
            if (sent.channel == protocol::kControl) {
                link.queue(sent.bytes);
                link.flush(peer);
            } else {
                link.sendAlone(peer, sent.channel, NetHost::Delivery::Unreliable, sent.bytes);
            }
        }
    }
    static constexpr int kLaterServices = 30;
    int servicesSinceAdmission = -1;

    ServerGate gate;
    NetHost host;
    ENetPeer* peer = nullptr;
    const Case* current = nullptr;
    protocol::Salt salt{};
    handshake::Key key{};
    handshake::Key wrongKey{};
    handshake::KeyPair keys;
    handshake::Transcript transcript;
};

Sent control(Bytes bytes) {
    return {protocol::kControl, std::move(bytes)};
}

Sent snapshotOf(const protocol::Snapshot& snapshot) {
    return {protocol::kSnapshots, encoded(snapshot)};
}

std::vector<Case> cases() {
    std::vector<Case> all;
    all.push_back({"a Challenge again and again", "Server sent a bad Challenge: disconnecting",
                   true, true, [] { return std::vector<Sent>(); }});
    Case wrongProof{"a Welcome proving another password",
                    "Server sent a bad Welcome: disconnecting", true, false,
                    [] { return std::vector<Sent>(); }};
    wrongProof.wrongProof = true;
    all.push_back(wrongProof);
    Case noChallenge{"a Welcome without a Challenge to a client with a password",
                     "Server sent a bad Welcome: disconnecting", true, false,
                     [] { return std::vector<Sent>(); }};
    noChallenge.skipChallenge = true;
    all.push_back(noChallenge);
    // 0xFF, seat -1, admits a spectator.
    for (std::uint8_t seat :
         {std::uint8_t{0x80}, std::uint8_t{0xFE}, std::uint8_t{8}, std::uint8_t{0x7F}}) {
        Case admitted{"an admission to a seat out of range",
                      "Server sent a bad Admitted: disconnecting", false, false,
                      [] { return std::vector<Sent>(); }};
        admitted.admittedSeat = seat;
        all.push_back(admitted);
    }
    for (std::uint8_t seat :
         {std::uint8_t{0x80}, std::uint8_t{0xFE}, std::uint8_t{2}, std::uint8_t{0x7F}}) {
        all.push_back({"a status with its seat out of range",
                       "Server sent a bad Status: disconnecting", false, false, [seat] {
                           Bytes status = encoded(playing(kAdmittedTick));
                           return std::vector<Sent>{
                               control(patched(status, status.size() - 1, seat))};
                       }});
    }
    // The status's setup (at byte 10, its seats), the first seat's name (its first character at
    // byte 28), and a snapshot's seat count (byte 15).
    const auto badStatus = [](const char* what, std::size_t at, std::uint8_t value) {
        return Case{what, "Server sent a bad Status: disconnecting", false, false, [at, value] {
                        return std::vector<Sent>{
                            control(patched(encoded(playing(kAdmittedTick)), at, value))};
                    }};
    };
    all.push_back(badStatus("a status of nine seats", 10, 9));
    all.push_back(badStatus("a status of a duel of three seats", 10, 3));
    all.push_back(badStatus("a name with a control character", 28, 0x07));
    all.push_back(badStatus("a name past the end", 27, 0xF0));
    all.push_back({"a status of a battle of two teams with a third",
                   "Server sent a bad Status: disconnecting", false, false, [] {
                       protocol::Status battle = playing(kAdmittedTick);
                       battle.setup = MatchSetup::battle(4, true);
                       battle.seats[3].team = 2;
                       return std::vector<Sent>{control(encoded(battle))};
                   }});
    Case outside{"an admission to a seat the match's status leaves out",
                 "Server sent a bad Status: disconnecting", false, false,
                 [] { return std::vector<Sent>(); }};
    outside.admittedSeat = 5;
    all.push_back(outside);
    for (std::uint8_t count :
         {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{9}, std::uint8_t{0xFF}}) {
        all.push_back({"a snapshot of a seat count out of range",
                       "Server sent a bad Snapshot: disconnecting", false, false, [count] {
                           return std::vector<Sent>{
                               {protocol::kSnapshots,
                                patched(encoded(snapshotAt(kAdmittedTick)), 15, count)}};
                       }});
    }
    all.push_back(
        {"a status from 2^31 ticks ahead", "Server sent a bad Status: disconnecting", false, false,
         [] { return std::vector<Sent>{control(encoded(playing(kAdmittedTick + kFar - 1)))}; }});
    Case longAgo{"a match begun 2^30 ticks ago, then a snapshot from 2^31 ahead",
                 "Server sent a bad Snapshot: disconnecting", false, false, [] {
                     protocol::Status next = playing(kAdmittedTick - kFar / 2);
                     next.match = 2;
                     return std::vector<Sent>{control(encoded(next))};
                 }};
    longAgo.later = [] { return std::vector<Sent>{snapshotOf(snapshotAt(kAdmittedTick + kFar))}; };
    all.push_back(longAgo);
    for (std::int16_t lead : {std::int16_t{-32767}, std::int16_t{32767}}) {
        all.push_back({"a snapshot's lead at its most", "Server sent a bad Snapshot: disconnecting",
                       false, false, [lead] {
                           protocol::Snapshot snapshot = snapshotAt(kAdmittedTick);
                           snapshot.lead = lead;
                           return std::vector<Sent>{snapshotOf(snapshot)};
                       }});
    }
    all.push_back({"a snapshot acknowledging 2^31 ticks ahead",
                   "Server sent a bad Snapshot: disconnecting", false, false, [] {
                       protocol::Snapshot snapshot = snapshotAt(kAdmittedTick);
                       snapshot.ack = kAdmittedTick + kFar;
                       return std::vector<Sent>{snapshotOf(snapshot)};
                   }});
    all.push_back({"a snapshot with the other seat's tank whole",
                   "Server sent a bad Snapshot: disconnecting", false, false, [] {
                       protocol::Snapshot snapshot = snapshotAt(kAdmittedTick);
                       snapshot.hasOwn = true;
                       snapshot.ownSeat = 1;
                       return std::vector<Sent>{snapshotOf(snapshot)};
                   }});
    all.push_back({"events at their most, then a count past it",
                   "Server sent a bad Events: disconnecting", false, false, [] {
                       Bytes tooMany = encoded(shotsAt(kAdmittedTick, 1));
                       return std::vector<Sent>{
                           control(encoded(shotsAt(kAdmittedTick, protocol::kMaxEventsPerMessage))),
                           control(patched(tooMany, 7, 0xFF))};
                   }});
    all.push_back(
        {"events 2^31 ticks away", "Server sent a bad Events: disconnecting", false, false,
         [] { return std::vector<Sent>{control(encoded(shotsAt(kAdmittedTick + kFar, 1)))}; }});
    all.push_back(
        {"an event for seat -128", "Server sent a bad Events: disconnecting", false, false, [] {
             return std::vector<Sent>{
                 control(patched(encoded(shotsAt(kAdmittedTick, 1)), 9, 0x80))};
         }});
    all.push_back(
        {"a refusal for no reason", "Server sent a bad Refused: disconnecting", false, false, [] {
             return std::vector<Sent>{control(patched(encoded(protocol::Refused()), 1, 0xFA))};
         }});
    all.push_back({"a message of no kind, as long as a message may be",
                   "Server sent a bad message: disconnecting", false, false, [] {
                       return std::vector<Sent>{control(Bytes(SealedLink::kLargestMessage, 0xEE))};
                   }});
    return all;
}

TEST(HostileServerTest, EveryBadMessageEndsTheConnectionWithOneLineAndNothingHangs) {
    FakeServer server;
    ASSERT_NE(server.port(), 0);
    GameClient client(5, nullptr, nullptr);
    InputState input;
    std::uint32_t mostReplayed = 0;
    int mostHashes = 0;
    for (const Case& played : cases()) {
        SCOPED_TRACE(played.name);
        server.begin(played);
        std::ostringstream console;
        std::ostringstream errors;
        NetworkOptions options;
        options.port = server.port();
        options.password = played.password ? kPassword : "";
        client.join(options, console, errors);
        // Bounded in ticks; a client that hung would never come back from one.
        for (int tick = 0; tick < 600 && client.networked(); ++tick) {
            client.tick(input);
            if (client.networked()) {
                mostReplayed = std::max(mostReplayed, client.network->mostReplayed());
                mostHashes = std::max(mostHashes, client.network->link().passwordHashes());
            }
            server.service();
            sleepTick();
        }
        EXPECT_FALSE(client.networked());
        EXPECT_TRUE(client.showingTitle());
        EXPECT_EQ(errors.str(), std::string(played.line) + "\n") << console.str();
        if (played.challengeAgain) {
            EXPECT_GE(server.challenges, 2);
        }
    }
    EXPECT_LE(mostReplayed, NetworkGame::kHistory);
    EXPECT_EQ(mostHashes, 1);
    std::printf("%zu hostile servers: at most %u ticks replayed in a tick, %d password hash per "
                "connection\n",
                cases().size(), mostReplayed, mostHashes);
}

// An arena's file in parts of at most partBytes, as a server sends it.
std::vector<Bytes> partsOf(const std::string& file, std::uint64_t hash,
                           std::size_t partBytes = protocol::kArenaPartBytes) {
    std::vector<Bytes> parts;
    for (std::size_t at = 0; at < file.size(); at += partBytes) {
        protocol::ArenaPart part;
        part.hash = hash;
        part.total = static_cast<std::uint32_t>(file.size());
        part.offset = static_cast<std::uint32_t>(at);
        const std::size_t length = std::min(partBytes, file.size() - at);
        part.bytes.assign(file.begin() + static_cast<std::ptrdiff_t>(at),
                          file.begin() + static_cast<std::ptrdiff_t>(at + length));
        parts.push_back(encoded(part));
    }
    return parts;
}

// The maze's file damaged in one of many ways, by the case's number.
std::string damaged(const std::string& file, int number, std::mt19937& random) {
    const auto pick = [&](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    std::string text = file;
    // A random number of the file's, by where it starts.
    const auto numberAt = [&] {
        std::size_t at = text.find_first_of("-0123456789", pick(text.size()));
        return at == std::string::npos ? text.find_first_of("0123456789") : at;
    };
    switch (number % 9) {
    case 0: // cut short
        return text.substr(0, 1 + pick(text.size() - 1));
    case 1: // bytes changed
        for (std::size_t flips = 1 + pick(8); flips > 0; --flips) {
            text[pick(text.size())] = static_cast<char>(pick(256));
        }
        return text;
    case 2: { // a number out of all reason
        const char* const wild[] = {"1e30", "nan", "inf", "-1e9", "1e400", "-0.0", "99999"};
        const std::size_t at = numberAt();
        const std::size_t end = text.find_first_of(",]\n", at);
        return text.replace(at, end - at, wild[pick(std::size(wild))]);
    }
    case 3: { // random bytes
        std::string noise(1 + pick(8192), '\0');
        for (char& c : noise) {
            c = static_cast<char>(pick(256));
        }
        return noise;
    }
    case 4: { // more pieces than an arena may have
        const std::size_t first = text.find("[[piece]]");
        const std::size_t second = text.find("[[piece]]", first + 1);
        const std::string piece = text.substr(first, second - first);
        std::string many;
        for (int i = 0; i < 300; ++i) {
            many += piece;
        }
        return text.insert(first, many);
    }
    case 5: { // a spawn point inside the first wall
        const std::size_t wall = text.find("kind = \"wall\"");
        const std::size_t at = text.find("position = ", wall);
        const std::string position = text.substr(at, text.find('\n', at) - at);
        const std::size_t spawn = text.find("position = ", text.find("[[spawn]]"));
        return text.replace(spawn, text.find('\n', spawn) - spawn, position);
    }
    case 6: { // a key no arena has
        const std::size_t at = text.find("\n[[", pick(text.size()));
        return text.insert(at == std::string::npos ? text.size() : at, "\nweather = \"rain\"");
    }
    case 7: { // a value of the wrong type
        const char* const wrong[] = {"\"north\"", "[1.0, 2.0]", "true", "{ x = 1 }"};
        const std::size_t at = numberAt();
        const std::size_t end = text.find('\n', at);
        return text.replace(at, end - at, wrong[pick(std::size(wrong))]);
    }
    default:
        if (number / 9 % 2 == 0) { // another name: the same arena to the rules
            return text.replace(0, text.find('\n'), "name = \"Mace\"");
        }
        // another heading for the first spawn point: another arena, as good
        const std::size_t at = text.find("heading = ", text.find("[[spawn]]"));
        return text.replace(at, text.find('\n', at) - at, "heading = 12.5");
    }
}

// A fake server sends arenas damaged every way, and parts that do not fit together: each one
// the client refuses with one line and leaves, or reads, keeps and plays on, its match standing
// on the arena the server named.
TEST(HostileServerTest, EveryDamagedArenaIsRefusedWithOneLineOrPlayed) {
    std::ostringstream loaded;
    const Arena maze =
        ArenaFile::load(std::string(ArenaFolders::kGameFolder) + "/maze.toml", loaded);
    ASSERT_EQ(loaded.str(), "");
    const std::string file = ArenaFile::write(maze);
    const std::uint64_t hash = maze.hash();

    std::vector<Case> all;
    std::vector<std::string> names;
    const auto add = [&](const std::string& name, std::vector<Bytes> parts, std::uint64_t named) {
        Case played{"", "", false, false, [] { return std::vector<Sent>(); }};
        played.arenaParts = std::move(parts);
        played.arena = named;
        all.push_back(played);
        names.push_back(name);
    };
    std::mt19937 random(20261208);
    constexpr int kDamaged = 45;
    for (int number = 0; number < kDamaged; ++number) {
        const std::string text = damaged(file, number, random);
        std::string fault;
        const std::optional<Arena> read = ArenaFile::parse(text, fault);
        const std::uint64_t named = read ? read->hash() : hash;
        add("damaged file " + std::to_string(number), partsOf(text, named), named);
    }
    add("the right file, another hash named", partsOf(file, hash ^ 1), hash ^ 1);
    // Smaller parts than a server makes are parts all the same.
    constexpr std::size_t kSmallPart = 1500;
    add("parts of 1500 bytes", partsOf(file, hash, kSmallPart), hash);
    std::vector<Bytes> parts = partsOf(file, hash, kSmallPart);
    ASSERT_GE(parts.size(), 3u);
    add("a part missing", {parts[0], parts[2]}, hash);
    add("the last part missing", {parts.begin(), parts.end() - 1}, hash);
    add("two parts swapped", {parts[1], parts[0], parts[2]}, hash);
    add("parts of two arenas", {parts[0], partsOf(file, hash ^ 2, kSmallPart)[1], parts[2]}, hash);
    add("parts naming another hash than the admission", partsOf(file, hash), hash ^ 3);
    Bytes huge = parts[0];
    huge[1 + 8 + 2] = 0x01; // the total's third byte: 64 KiB more
    add("a total past 64 KiB", {huge}, hash);
    protocol::ArenaPart past;
    past.hash = hash;
    past.total = 100;
    past.bytes.assign(file.begin(), file.begin() + 200);
    add("a part past its total", {encoded(past)}, hash);
    add("no parts for an arena not built in", {}, hash);
    const std::uint64_t builtIn = Arena::standard().hash();
    add("the built-in arena, sent as a file", partsOf(ArenaFile::write(Arena::standard()), builtIn),
        builtIn);

    FakeServer server;
    ASSERT_NE(server.port(), 0);
    GameClient client(5, nullptr, nullptr);
    TempDir cacheFolder;
    std::ostringstream cacheErrors;
    ArenaCache cache(cacheFolder.path(), cacheErrors);
    InputState input;
    int refused = 0;
    int playedOn = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const Case& played = all[i];
        server.begin(played);
        std::ostringstream console;
        std::ostringstream errors;
        NetworkOptions options;
        options.port = server.port();
        options.arenas = &cache;
        client.join(options, console, errors);
        int joinedTicks = 0;
        constexpr int kPlayTicks = 30;
        for (int tick = 0; tick < 600 && client.networked() && joinedTicks < kPlayTicks; ++tick) {
            client.tick(input);
            joinedTicks += client.networked() && client.network->joined() ? 1 : 0;
            server.service();
            sleepTick();
        }
        if (joinedTicks == kPlayTicks) {
            ++playedOn;
            const std::uint64_t named = played.arena != 0 ? played.arena : Arena::standard().hash();
            EXPECT_EQ(client.shownMatch().arena.hash(), named);
            EXPECT_EQ(errors.str(), "");
            // And a battle plays on it: 300 ticks of computer tanks.
            Match battle(MatchSetup::battle(4, false), 7, std::vector<Driver>(4, Driver::Computer),
                         client.shownMatch().arena);
            EventList events;
            for (int tick = 0; tick < 300; ++tick) {
                events.clear();
                battle.step(SeatCommands{}, events);
            }
            EXPECT_EQ(battle.state.tick, 300u);
        } else {
            ++refused;
            EXPECT_FALSE(client.networked());
            const std::string said = console.str() + errors.str();
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_TRUE(said.rfind("Cannot join: ", 0) == 0 ||
                        said == "Server sent a bad ArenaPart: disconnecting\n")
                << said;
        }
    }
    std::printf("%zu arenas from a hostile server: %d refused with one line, %d played on\n",
                all.size(), refused, playedOn);
    EXPECT_GE(playedOn, 7);
    EXPECT_GE(refused, 30);
    EXPECT_EQ(cacheErrors.str(), "");
}

} // namespace
