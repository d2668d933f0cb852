#pragma once

#include "net/ClientGate.h"
#include "net/Handshake.h"
#include "net/NetHost.h"
#include "net/Protocol.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// What a client hears from its server, message by message, in the order each channel keeps.
// Each returns false when the message is out of all reason (a tick far from the server's time,
// say): the server is then not to be trusted, and the client goes.
class ServerListener {
public:
    virtual ~ServerListener() = default;
    // Before each Admitted, the arena the server plays: its hash, and its file as the
    // ArenaParts brought it (empty when none came). False, with one line in fault, when the
    // client cannot play on it: it then leaves.
    virtual bool onArena(std::uint64_t hash, const std::string& file, std::string& fault) = 0;
    virtual bool onAdmitted(const protocol::Admitted& admitted) = 0;
    virtual bool onStatus(const protocol::Status& status) = 0;
    virtual bool onEvents(const protocol::Events& events) = 0;
    virtual bool onSnapshot(const protocol::Snapshot& snapshot) = 0;
};

// A client's link to one server: connecting, the version handshake, the key exchange and the
// password's proof, a seat, then the server's messages handed to a listener and the client's own
// sent, sealed both ways. Every datagram passes the client's gate first.
//
// The client does not trust its server: a message that does not read, comes out of turn or that
// the listener finds out of all reason, a second Challenge, or a Welcome without the server's
// proof of the password, ends the connection with one line on the error stream. It runs
// crypto_pwhash at most once per connection, and not again for a salt it has hashed with.
//
// A lost link does not end the game at once: when no snapshot has come for kQuietSeconds while
// seated, the client drops the connection and makes a new one, asking for its seat back with the
// resume token the server gave it (a fresh key exchange each time), until it is back or
// kSeatHeldSeconds have passed since the server was last heard. An attempt that has not connected
// within kRetrySeconds, or whose connection ENet ended, is made anew; one that has connected is
// kept however slow its handshake, since the server may have taken its Join, and with it the
// seat's single-use token.
//
// Lines for the console: "Connected to HOST:PORT" once in; "Server full", "Version mismatch:
// server V, client W", "Wrong password", "Too many attempts: wait a second" or "Too many players
// from this address" when refused; "Cannot connect to HOST:PORT" when no server answers;
// "Connection lost: reconnecting" when the snapshots stop, "Reconnected to HOST:PORT" when the
// seat is back; "Connection lost" when the server goes; "Cannot join: FAULT" when the server's
// arena cannot be played. A client that finds every seat taken watches: kWatchingLine after
// "Connected to" ("Watching" when it asked to), and "Seat S is free: playing" when the server
// gives it one. A spectator has no seat to take back: a lost link ends its game. On the error
// stream: "Server sent a bad KIND: disconnecting", and kSeatLostLine when the seat could not be
// taken back.
//
// An arena's file comes in ArenaParts before the Admitted that names its hash: in order, each
// of the same arena and size, at most protocol::kMaxArenaBytes in all, and whole when Admitted
// comes; anything else is a bad ArenaPart.
class ClientConnection {
public:
    enum class State { Connecting, Joined, Reconnecting, Refused, Lost };
    static constexpr double kLeaveSeconds = 1.0;
    static constexpr double kQuietSeconds = 1.0;
    static constexpr double kRetrySeconds = 1.0;
    static constexpr double kSeatHeldSeconds = 10.0;
    static constexpr const char* kSeatLostLine = "Seat lost: the link was down too long";
    static constexpr const char* kWatchingLine = "Every seat is taken: watching";

    // Starts connecting. version is the protocol version the client claims to speak; name is
    // the one the person asks to play under; with watch it asks to watch only.
    ClientConnection(const std::string& hostName, std::uint16_t port, std::string password,
                     std::ostream& console, std::ostream& errors,
                     std::uint32_t version = protocol::kVersion, std::string name = "Player",
                     bool watch = false);
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    // Takes in everything that has come, without waiting, and hands it to listener.
    void service(ServerListener& listener);
    // The messages the game sends; dropped unless joined.
    void send(const protocol::Commands& commands);
    void send(const protocol::Watching& watching);
    void send(const protocol::Ready& ready);
    // Says goodbye and waits up to kLeaveSeconds for the server to hear it.
    void leave();

    State state() const { return current; }
    // Refused, or lost after (or while) connecting: the game goes on without the server.
    bool over() const { return current == State::Refused || current == State::Lost; }
    // The connection ended because the seat could not be taken back.
    bool seatLost() const { return lostSeat; }
    // In, with no seat: watching until the server gives one.
    bool watching() const { return current == State::Joined && !token; }
    // ENet's mean round trip time, in milliseconds.
    std::uint32_t roundTripMs() const { return peer != nullptr ? peer->roundTripTime : 0; }
    std::uint64_t malformed() const { return dropped; }
    // crypto_pwhash runs so far, over every connection.
    int passwordHashes() const { return hashes; }
    // The UDP port the client sends from now.
    std::uint16_t localPort() const { return host.port(); }

private:
    // The handshake of the connection under way.
    enum class Stage { Connecting, Proving, Joining, Joined };

    void connect();
    void startOver(double lastHeard);
    void onReceive(ServerListener& listener, std::uint8_t channel, const std::uint8_t* data,
                   std::size_t size);
    void onPlain(const std::uint8_t* data, std::size_t size);
    void onSealed(ServerListener& listener, std::uint8_t channel, const std::uint8_t* data,
                  std::size_t size);
    void onChallenge(const protocol::Challenge& challenge);
    void onWelcome(const protocol::Welcome& welcome);
    void onAdmitted(ServerListener& listener, const protocol::Admitted& admitted);
    // Takes in a part of the arena's file; false when it does not follow the parts before.
    bool takePart(const protocol::ArenaPart& part);
    void refused(const protocol::Refused& refusal);
    // The server sent something no server of ours would (what: its kind, or "message"): one
    // line, and gone.
    void distrust(const char* what);
    void loseSeat();
    // Waits up to kLeaveSeconds for the end of the connection, which is under way.
    void awaitGoodbye();
    template <typename Message> void sendPlain(const Message& message) {
        bytes.clear();
        protocol::encode(message, bytes);
        NetHost::send(peer, protocol::kControl, NetHost::Delivery::Reliable, bytes.data(),
                      bytes.size());
    }
    template <typename Message> void queue(const Message& message) {
        bytes.clear();
        protocol::encode(message, bytes);
        gate.guard.link.queue(bytes);
    }
    void line(std::ostream& stream, const std::string& text);

    std::string hostName;
    std::uint16_t port;
    std::string address; // HOST:PORT, as the player gave it
    std::string password;
    std::string name;
    std::ostream& console;
    std::ostream& errors;
    std::uint32_t version;
    bool watchOnly;
    ClientGate gate; // outlives the host, which refers to it
    NetHost host;
    ENetPeer* peer = nullptr;
    State current = State::Connecting;
    Stage stage = Stage::Connecting;
    bool lostSeat = false;
    std::uint64_t dropped = 0;

    // The connection's key exchange and proof.
    handshake::KeyPair keys;
    handshake::Transcript transcript;
    bool challenged = false;
    std::optional<handshake::Key> passwordKey; // for passwordSalt
    protocol::Salt passwordSalt{};
    int hashes = 0;

    std::optional<protocol::Token> token; // of the seat held
    double joinedAt = 0.0;                // seconds, when the seat was taken (back)
    double lostAt = 0.0;                  // when the server was last heard, while reconnecting
    double attemptAt = 0.0;               // when the connection under way began

    std::vector<std::uint8_t> bytes;
    // The arena's file as its parts came over the connection under way.
    std::uint64_t arenaHash = 0;
    std::size_t arenaTotal = 0;
    std::string arenaFile;
    std::string arenaFault;
    protocol::ArenaPart part;
    protocol::Events events;
    protocol::Snapshot snapshot;
};
