#pragma once

#include "game/Match.h"
#include "game/MatchFlow.h"
#include "net/CommandQueue.h"
#include "net/Handshake.h"
#include "net/NetHost.h"
#include "net/PeerSweep.h"
#include "net/Protocol.h"
#include "net/SeatTable.h"
#include "net/ServerGate.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct ServerOptions {
    std::uint16_t port = protocol::kDefaultPort; // 0: any free port
    Mode mode = Mode::Duel;
    Rules rules = Rules::Duel;    // a duel's
    int tanks = 2;                // a battle's seats
    bool teams = false;           // a battle of two teams
    int fragLimit = 10;           // a battle's
    int timeLimitSeconds = 300;   // a battle's
    Skill skill = Skill::Classic; // the computer in every seat no person holds
    std::string password;         // empty: anyone may join
    std::string name;             // told to those looking for games; empty: the host's name
    bool discovery = true;        // answer those looking for games on the local network
    std::uint64_t seed = 0;
    // The arena played, and its file as sent to each client (ArenaFile's form, at most
    // protocol::kMaxArenaBytes); empty for the built-in arena, which every client has.
    Arena arena = Arena::standard();
    std::string arenaFile;
    // Clients watching at once while every seat is held by a person.
    std::size_t spectators = 8;
    // ENet peers beyond the seats and the spectators: strangers knocking, people leaving, and
    // room to grow.
    std::size_t sparePeers = 22;
    // Players and spectators joined at once from one address: a household behind one router.
    std::size_t playersPerAddress = 8;

    // The match these options set up, every value within its range.
    MatchSetup setup() const;
    // Every ENet peer the server keeps: one a seat, one a spectator, and the spare ones.
    std::size_t peers() const;
};

// What a server has counted since it started.
struct ServerCounts {
    std::uint64_t ticks = 0;
    std::uint64_t repeatedCommands = 0; // ticks a seat's command had not come and was repeated
    std::uint64_t malformed = 0;        // messages dropped as malformed, out of turn or too many
    std::uint64_t serviceErrors = 0;    // errors ENet reported
    std::uint64_t refused = 0;
    std::uint64_t spectatorCommands = 0; // Commands a spectator sent, dropped unread
    std::uint64_t passwordChecks = 0;    // answers checked against the password
    std::array<std::uint64_t, protocol::kMaxSeats> hits{}; // on each seat's tank
    // The most commands and payload bytes ENet held at the end of any tick for one peer not
    // yet past the password, and for one past it.
    std::size_t strangerCommandsMost = 0;
    std::size_t strangerBytesMost = 0;
    std::size_t playerCommandsMost = 0;
    std::size_t playerBytesMost = 0;
};

// Sees every tick the server steps (tests, the benchmark), on the server's thread.
class TickObserver {
public:
    virtual ~TickObserver() = default;
    // After tick, with the match as the tick left it and the commands it stepped the seats with.
    virtual void ticked(std::uint32_t tick, const Match& match, const SeatCommands& commands) = 0;
};

// The one true game of a networked match: it steps the game's MatchFlow from the seats'
// commands, tick by tick, and alone decides hits, lives and the end; the clients are told what
// it decided. The flow keeps the phases, who is ready, the drivers and the outcome; the server
// keeps the connections and tells the flow who sits, leaves, is away and is ready.
//
// Seats: the computer plays every seat no person has. A client that joins on the title or end
// screen takes a free seat at once; one that joins during a match keeps it and takes it when the
// flow lets it (a duel's end, a battle tank's next respawn). A client that leaves hands its tank
// to the computer and the match goes on; with no person left the game goes back to the title. A
// match starts when every person seated has pressed ENTER, and its first tick is stepped in the
// tick after.
//
// Spectators: a client that finds every seat held by a person (a seat kept for a lost link
// included), or others already waiting, watches, and so does one that asks to (it keeps
// watching): it is told all a player is (status, events,
// snapshots; no tank of its own) and sends no commands (any it sends are dropped), only a
// Watching now and then. Out of a match (a match's end, the title), each free seat goes to the
// spectator that came first, with a second Admitted. At most options.spectators watch; past
// that a client is refused as ServerFull. A silent spectator is let go like a player, but has
// nothing kept for it; spectators count against playersPerAddress.
//
// A lost link does not cost the seat: when nothing sealed has come from a seated client for
// kLinkLostSeconds (a client sends every tick; a slow machine's frame may take a second), or
// ENet lets it go, the computer drives its tank, and the seat is held until kSeatHeldSeconds
// after the client was last heard: the client takes it back with its resume token over a new
// connection (or its link comes back), else the seat is given up.
//
// Every datagram passes the ServerGate before ENet takes it; a peer stuck before or after a
// connection is swept away within PeerSweep::kLimboSeconds, one that has not said Hello
// within kHelloSeconds, not answered the password within kAnswerSeconds or not asked for a
// seat within kJoinSeconds of its keys is let go. A discovery request is answered there too
// (DiscoveryResponder), with the server's random id, name, arena, mode and seats taken.
//
// Each tick: the commands due (the last one again for a seat whose command has not come), the
// match's tick while one is playing, its events queued for every client, and every second
// tick each client's snapshot, sent with everything queued since the last (one seal each).
// A joining person's name is made valid and unique among the seats ("Ada", "Ada 2").
// Lines for the console: "Hosting on port N", "Player joined seat S", "Player back in seat S",
// "Player lost the link in seat S: the computer drives until it is back",
// "Player left seat S: the computer takes over", "Shot from seat S", "Spectator joined: every
// seat is taken" (or "Spectator joined", asked), "Spectator left",
// "Version mismatch: server V, client W" (seats counted from 1), and a battle's own lines
// (MatchFlow).
class Server {
public:
    static constexpr std::uint32_t kSnapshotTicks = 2;
    // The own tank goes whole in every second snapshot (the client corrects its prediction 15
    // times a second); the others carry its view, as the other tank's, at a seventh of the
    // bytes.
    static constexpr std::uint32_t kOwnTankTicks = 2 * kSnapshotTicks;
    static constexpr double kHelloSeconds = 2.0;
    static constexpr double kAnswerSeconds = 5.0; // a password's hash takes the client a while
    static constexpr double kJoinSeconds = 2.0;
    static constexpr double kRefusedSeconds = 1.0; // a refused client has to go
    static constexpr double kLinkLostSeconds = 2.0;
    static constexpr double kSeatHeldSeconds = 10.0;
    // Messages a client may send in one second (a tick's commands, and a few more).
    static constexpr int kMessagesPerSecond = 200;
    // ENet's queue for one peer, in commands and payload bytes: more and it is let go. Before
    // the password the gate lets through one handshake message at a time; after, a window of
    // reliable numbers and the sealed messages of a second.
    static constexpr std::size_t kMostStrangerCommands = 4;
    static constexpr std::size_t kMostStrangerBytes = 2 * protocol::kMaxHandshakeBytes;
    static constexpr std::size_t kMostQueuedCommands = 1024;

    Server(const ServerOptions& options, std::ostream& console);
    // Tells every player the server goes.
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // False when the port could not be taken, or no password key could be made (error()).
    bool listening() const { return host.ok() && error.empty(); }
    const std::string& errorLine() const { return error; }
    std::uint16_t port() const { return host.port(); }

    // Takes in what has come, waiting up to timeoutMs for the first of it.
    void service(std::uint32_t timeoutMs);
    // One tick of the game.
    void tick();

    std::uint32_t currentTick() const { return clock; }
    protocol::Phase phase() const { return flow.phase(); }
    std::uint16_t matchNumber() const { return flow.matchNumber(); }
    const Match& match() const { return flow.match; }
    const ServerCounts& counts() const { return counted; }
    const ServerGate::Counts& gateCounts() const { return gate.counts(); }
    const DiscoveryResponder::Counts& discoveryCounts() const { return gate.discovery.counts(); }
    // Clients that have joined, seated or waiting for a seat; and clients watching.
    int players() const;
    int spectators() const;
    // UDP payload sent and received so far, ENet's own headers included; wraps at 4 GiB.
    std::uint32_t sentBytes() const { return host.get()->totalSentData; }
    std::uint32_t receivedBytes() const { return host.get()->totalReceivedData; }

    TickObserver* observer = nullptr; // not owned

private:
    enum class Stage { Free, Connected, Challenged, Keyed, Joined, Watching, Leaving };
    // One connected client.
    struct Visitor {
        Stage stage = Stage::Free;
        ENetPeer* peer = nullptr;
        double since = 0.0; // seconds, when it entered its stage
        protocol::Nonce nonce{};
        handshake::KeyPair keys;
        protocol::PublicKey clientKey{};
        int seat = protocol::kWaiting;
        CommandQueue commands;
        // Ticks ahead of the server's time its commands came, the least since the last
        // snapshot: a client that draws slowly sends a frame's ticks at once, and the first of
        // them must be in time too.
        float lead = 0.0f;
        bool leadTaken = true; // the last snapshot reported it
        double windowStart = 0.0;
        int messagesInWindow = 0;
        std::uint64_t watchingSince = 0; // a spectator's place in the queue for a seat
        bool watchOnly = false;          // it asked to watch: it takes no seat
        player_name::Name name{};        // a spectator's, to play under once seated
    };
    // Told of the game: seated, or watching.
    static bool told(const Visitor& visitor) {
        return visitor.stage == Stage::Joined || visitor.stage == Stage::Watching;
    }
    double now() const { return gate.now(); }
    std::size_t indexOf(const Visitor& visitor) const {
        return static_cast<std::size_t>(&visitor - visitors.data());
    }
    PeerGuard& guardOf(const Visitor& visitor) { return gate.guard(indexOf(visitor)); }
    void onConnect(ENetPeer* peer);
    void onReceive(Visitor& visitor, std::uint8_t channel, const std::uint8_t* data,
                   std::size_t size);
    void onMessage(Visitor& visitor, std::uint8_t channel, const std::uint8_t* data,
                   std::size_t size);
    void onDisconnect(Visitor& visitor);
    void onHello(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void onAnswer(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void onJoin(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void onCommands(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void onReady(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    // The keys of the visitor's connection are agreed: Welcome, sealed from here on.
    void keyUp(Visitor& visitor, const protocol::Mac& mac);
    void admit(Visitor& visitor, int seat, bool resumed);
    // The visitor watches until a seat frees, to play under the name it asked for then.
    void watch(Visitor& visitor, const protocol::Join& join);
    // Out of a match, each free seat to the spectator that came first.
    void seatSpectators();
    // The arena's file in ArenaParts, each flushed on its own: a part fills a reliable message.
    void sendArena(Visitor& visitor);
    void refuse(Visitor& visitor, protocol::Refusal reason);
    // name made valid, and unique among the other seats' names.
    player_name::Name uniqueName(const std::string& name, int seat) const;
    // The visitor goes for good: its seat to the computer at once.
    void release(Visitor& visitor);
    void forget(Visitor& visitor);
    // The seat's holder, last heard at lastHeard, is out of reach: the computer drives until it
    // is back or time runs out.
    void holdSeat(int seat, double lastHeard);
    void giveUpSeat(int seat);
    // A spectator waits for a seat.
    bool waiting() const;
    // Visitors at stage from the visitor's address, itself included when at that stage.
    std::size_t fromAddress(const Visitor& visitor, Stage stage) const;
    // Whether the visitor may send one more message this second.
    bool withinLimit(Visitor& visitor);
    void sweep();
    void measureQueues(std::size_t index, ENetPeer& peer);
    void sendEvents(const EventList& events);
    void sendStatus();
    void sendSnapshots();
    template <typename Message> void queue(Visitor& visitor, const Message& message) {
        bytes.clear();
        protocol::encode(message, bytes);
        guardOf(visitor).link.queue(bytes);
    }
    template <typename Message> void sendPlain(Visitor& visitor, const Message& message) {
        bytes.clear();
        protocol::encode(message, bytes);
        NetHost::send(visitor.peer, protocol::kControl, NetHost::Delivery::Reliable, bytes.data(),
                      bytes.size());
    }
    void line(const std::string& text);
    // What the server tells those looking for games, but for the seats taken.
    void describeForDiscovery();

    ServerOptions options;
    std::ostream& console;
    ServerGate gate;
    NetHost host;
    PeerSweep peerSweep;
    std::string error;
    std::optional<handshake::Key> key; // of the password, when there is one
    protocol::Salt salt{};
    std::vector<Visitor> visitors; // by ENet peer
    SeatTable seats;
    std::uint64_t watchersCame = 0; // spectators admitted so far: their order in the queue

    MatchFlow flow;
    std::uint64_t arenaHash;       // of flow's arena
    protocol::ArenaPart arenaPart; // the part being sent
    std::uint32_t clock = 0;       // ticks since the server started
    double tickTime = 0.0;         // seconds, when the last tick ran
    ServerCounts counted;
    EventList events;
    std::vector<std::uint8_t> bytes; // the message being sent
    protocol::Commands received;     // the last commands read
    protocol::Events outgoing;       // the tick's events being sent
};
