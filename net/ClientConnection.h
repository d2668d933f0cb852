#pragma once

#include "net/NetHost.h"
#include "net/Protocol.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// What a client hears from its server, message by message, in the order each channel keeps.
class ServerListener {
public:
    virtual ~ServerListener() = default;
    virtual void onWelcome(const protocol::Welcome& welcome) = 0;
    virtual void onStatus(const protocol::Status& status) = 0;
    virtual void onEvents(const protocol::Events& events) = 0;
    virtual void onSnapshot(const protocol::Snapshot& snapshot) = 0;
};

// A client's link to one server: connecting, the version handshake and the password's proof,
// then the server's messages handed to a listener and the client's own sent. What the server
// sends is untrusted like any datagram: a message that does not read is dropped and counted.
//
// Lines for the console: "Connected to HOST:PORT" once in; "Server full", "Version mismatch:
// server V, client W", "Wrong password" or "Too many attempts: wait a second" when refused;
// "Cannot connect to HOST:PORT" when no server answers; "Connection lost" when the server
// goes or stops answering.
class ClientConnection {
public:
    enum class State { Connecting, Proving, Joined, Refused, Lost };

    // Starts connecting. version is the protocol version the client claims to speak.
    ClientConnection(const std::string& hostName, std::uint16_t port, std::string password,
                     std::ostream& console, std::uint32_t version = protocol::kVersion);
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    // Takes in everything that has come, without waiting, and hands it to listener.
    void service(ServerListener& listener);
    // The messages the game sends; dropped unless joined.
    void send(const protocol::Commands& commands);
    void send(const protocol::Ready& ready);
    // Says goodbye and waits up to kLeaveSeconds for the server to hear it.
    void leave();

    State state() const { return current; }
    // Refused, or lost after (or while) connecting: the game goes on without the server.
    bool over() const { return current == State::Refused || current == State::Lost; }
    // ENet's mean round trip time, in milliseconds.
    std::uint32_t roundTripMs() const { return peer != nullptr ? peer->roundTripTime : 0; }
    std::uint64_t malformed() const { return dropped; }

    static constexpr double kLeaveSeconds = 1.0;

private:
    void onReceive(ServerListener& listener, const std::uint8_t* data, std::size_t size);
    void onChallenge(const protocol::Challenge& challenge);
    void refused(const protocol::Refused& refusal);
    // Waits up to kLeaveSeconds for the end of the connection, which is under way.
    void awaitGoodbye();
    template <typename Message>
    void sendMessage(const Message& message, std::uint8_t channel, NetHost::Delivery delivery) {
        bytes.clear();
        protocol::encode(message, bytes);
        if (peer != nullptr) {
            NetHost::send(peer, channel, delivery, bytes.data(), bytes.size());
        }
    }
    void line(const std::string& text);

    std::string address; // HOST:PORT, as the player gave it
    std::string password;
    std::ostream& console;
    std::uint32_t version;
    NetHost host;
    ENetPeer* peer = nullptr;
    State current = State::Connecting;
    std::uint64_t dropped = 0;
    std::vector<std::uint8_t> bytes;
    protocol::Events events;
    protocol::Snapshot snapshot;
};
