#pragma once

#include "game/Match.h"
#include "net/AttemptLimiter.h"
#include "net/CommandQueue.h"
#include "net/Handshake.h"
#include "net/NetHost.h"
#include "net/Protocol.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct ServerOptions {
    std::uint16_t port = protocol::kDefaultPort; // 0: any free port
    Rules rules = Rules::Duel;
    Skill skill = Skill::Classic; // the computer in every seat no person holds
    std::string password;         // empty: anyone may join
    std::uint64_t seed = 0;
};

// What a server has counted since it started.
struct ServerCounts {
    std::uint64_t ticks = 0;
    std::uint64_t repeatedCommands = 0; // ticks a seat's command had not come and was repeated
    std::uint64_t malformed = 0;        // messages dropped as malformed, out of turn or too many
    std::uint64_t serviceErrors = 0;    // errors ENet reported
    std::uint64_t refused = 0;
    std::array<std::uint64_t, protocol::kSeatCount> hits{}; // on each seat's tank
};

// Sees every tick the server steps (tests, the benchmark).
class TickObserver {
public:
    virtual ~TickObserver() = default;
    // After tick, with the match as the tick left it.
    virtual void ticked(std::uint32_t tick, const Match& match) = 0;
};

// The one true game of a networked match: it steps the match from the seats' commands, tick
// by tick, and alone decides hits, lives and the end; the clients are told what it decided.
//
// Seats: the computer plays every seat no person has. A client that joins on the title or end
// screen takes a free seat at once; one that joins during a match keeps it and takes it at the
// match's end. A client that leaves, or stops answering, hands its tank to the computer and the
// match goes on; with no person left the game goes back to the title. A match starts when every
// person seated has pressed ENTER.
//
// Each tick: the commands due (the last one again for a seat whose command has not come), the
// match's tick while one is playing, its events to every client, and every second tick each
// client's snapshot. Lines for the console: "Player joined seat S", "Player left seat S: the
// computer takes over", "Shot from seat S", "Version mismatch: server V, client W" (seats
// counted from 1).
class Server {
public:
    static constexpr std::size_t kPeers = 4; // two seats, a third to refuse, one leaving
    static constexpr std::uint32_t kSnapshotTicks = 2;
    // A client that has not proven itself after this long is let go, and a refused one that
    // has not gone after kRefusedSeconds.
    static constexpr double kHandshakeSeconds = 5.0;
    static constexpr double kRefusedSeconds = 1.0;
    // A player from whom nothing has come for this long has gone (a client sends every tick).
    // ENet would notice it later: it only looks when a retransmission is due, and those come
    // ever further apart.
    static constexpr std::uint32_t kSilentMs = 5500;
    // Messages a client may send in one second (a tick's commands, and a few more).
    static constexpr int kMessagesPerSecond = 200;

    Server(const ServerOptions& options, std::ostream& console);

    // False when the port could not be taken, or no password key could be made (error()).
    bool listening() const { return host.ok() && error.empty(); }
    const std::string& errorLine() const { return error; }
    std::uint16_t port() const { return host.port(); }

    // Takes in what has come, waiting up to timeoutMs for the first of it.
    void service(std::uint32_t timeoutMs);
    // One tick of the game.
    void tick();

    std::uint32_t currentTick() const { return clock; }
    protocol::Phase phase() const { return gamePhase; }
    std::uint16_t matchNumber() const { return matches; }
    const Match& match() const { return game; }
    const ServerCounts& counts() const { return counted; }
    // Clients that have joined.
    int players() const;
    // UDP payload sent and received so far, ENet's own headers included; wraps at 4 GiB.
    std::uint32_t sentBytes() const { return host.get()->totalSentData; }
    std::uint32_t receivedBytes() const { return host.get()->totalReceivedData; }

    TickObserver* observer = nullptr; // not owned

private:
    enum class Stage { Free, Connected, Challenged, Joined, Leaving };
    // One connected client.
    struct Visitor {
        Stage stage = Stage::Free;
        ENetPeer* peer = nullptr;
        double since = 0.0; // seconds, when it connected or was refused
        protocol::Nonce nonce{};
        int seat = protocol::kWaiting;
        std::uint16_t readyFor = 0xFFFF; // the match number whose end (or the title) it is ready at
        bool ready = false;
        CommandQueue commands;
        // Ticks ahead of the server's time its commands came, the least since the last
        // snapshot: a client that draws slowly sends a frame's ticks at once, and the first of
        // them must be in time too.
        float lead = 0.0f;
        bool leadTaken = true; // the last snapshot reported it
        double windowStart = 0.0;
        int messagesInWindow = 0;
    };

    double now() const;
    void onConnect(ENetPeer* peer);
    void onReceive(Visitor& visitor, std::uint8_t channel, const std::uint8_t* data,
                   std::size_t size);
    void onLeave(Visitor& visitor);
    void onHello(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void onAnswer(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void onCommands(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void onReady(Visitor& visitor, const std::uint8_t* data, std::size_t size);
    void admit(Visitor& visitor);
    void refuse(Visitor& visitor, protocol::Refusal reason);
    // Whether the visitor may send one more message this second.
    bool withinLimit(Visitor& visitor);
    int freeSeat() const;
    // The seats of waiting clients become theirs; the computer gives up the seats people hold.
    void seatWaiting();
    void startMatch();
    void stepMatch(const SeatCommands& commands);
    void sendEvents(const EventList& events);
    void sendStatus();
    void sendSnapshots();
    template <typename Message>
    void sendTo(const Visitor& visitor, const Message& message, std::uint8_t channel,
                NetHost::Delivery delivery) {
        bytes.clear();
        protocol::encode(message, bytes);
        NetHost::send(visitor.peer, channel, delivery, bytes.data(), bytes.size());
    }
    void line(const std::string& text);

    ServerOptions options;
    std::ostream& console;
    NetHost host;
    std::string error;
    std::optional<handshake::Key> key; // of the password, when there is one
    protocol::Salt salt{};
    AttemptLimiter attempts;
    std::array<Visitor, kPeers> visitors;
    std::array<int, protocol::kSeatCount> seatHolder{}; // the visitor holding each seat, or -1

    Match game;
    protocol::Phase gamePhase = protocol::Phase::Title;
    std::uint16_t matches = 0;
    std::uint32_t clock = 0;     // ticks since the server started
    std::uint32_t phaseTick = 0; // when the phase began
    std::chrono::steady_clock::time_point started;
    double tickTime = 0.0; // seconds, when the last tick ran
    ServerCounts counted;
    EventList events;
    std::vector<std::uint8_t> bytes; // the message being sent
    protocol::Commands received;     // the last commands read
    protocol::Events outgoing;       // the tick's events being sent
};
