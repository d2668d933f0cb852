#include "net/ClientConnection.h"

#include "net/Handshake.h"

#include <chrono>

namespace {
const char* refusalLine(protocol::Refusal reason) {
    switch (reason) {
    case protocol::Refusal::ServerFull:
        return "Server full";
    case protocol::Refusal::WrongPassword:
        return "Wrong password";
    case protocol::Refusal::TooManyAttempts:
        return "Too many attempts: wait a second";
    case protocol::Refusal::VersionMismatch:
        break;
    }
    return "";
}
} // namespace

ClientConnection::ClientConnection(const std::string& hostName, std::uint16_t port,
                                   std::string password, std::ostream& console,
                                   std::uint32_t version)
    : address(hostName + ":" + std::to_string(port)), password(std::move(password)),
      console(console), version(version), host(NetHost::connecting()) {
    peer = host.connect(hostName, port);
    if (peer == nullptr) {
        line("Cannot connect to " + address);
        current = State::Lost;
    }
}

void ClientConnection::line(const std::string& text) {
    console << (text + "\n") << std::flush;
}

void ClientConnection::service(ServerListener& listener) {
    if (over()) {
        return;
    }
    bool refusedNow = false;
    host.service(0, [&](const ENetEvent& event) {
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT: {
            current = State::Proving;
            protocol::Hello hello;
            hello.version = version;
            sendMessage(hello, protocol::kControl, NetHost::Delivery::Reliable);
            break;
        }
        case ENET_EVENT_TYPE_RECEIVE:
            if (!over()) {
                onReceive(listener, event.packet->data, event.packet->dataLength);
                refusedNow = current == State::Refused;
            }
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (current == State::Joined) {
                line("Connection lost");
            } else if (current != State::Refused) {
                line("Cannot connect to " + address);
            }
            if (current != State::Refused) {
                current = State::Lost;
            }
            peer = nullptr;
            break;
        default:
            break;
        }
    });
    // A refused client waits for the server to let it go (it is on its way), so that the
    // server's peer is free again at once.
    if (refusedNow) {
        awaitGoodbye();
    }
}

void ClientConnection::onReceive(ServerListener& listener, const std::uint8_t* data,
                                 std::size_t size) {
    protocol::Kind kind;
    if (!protocol::kindOf(data, size, kind)) {
        ++dropped;
        return;
    }
    bool read = false;
    if (kind == protocol::Kind::Challenge && current == State::Proving) {
        protocol::Challenge challenge;
        read = protocol::decode(data, size, challenge);
        if (read) {
            onChallenge(challenge);
        }
    } else if (kind == protocol::Kind::Refused && current == State::Proving) {
        protocol::Refused refusal;
        read = protocol::decode(data, size, refusal);
        if (read) {
            refused(refusal);
        }
    } else if (kind == protocol::Kind::Welcome && current == State::Proving) {
        protocol::Welcome welcome;
        read = protocol::decode(data, size, welcome);
        if (read) {
            current = State::Joined;
            line("Connected to " + address);
            listener.onWelcome(welcome);
        }
    } else if (kind == protocol::Kind::Status && current == State::Joined) {
        protocol::Status status;
        read = protocol::decode(data, size, status);
        if (read) {
            listener.onStatus(status);
        }
    } else if (kind == protocol::Kind::Events && current == State::Joined) {
        read = protocol::decode(data, size, events);
        if (read) {
            listener.onEvents(events);
        }
    } else if (kind == protocol::Kind::Snapshot && current == State::Joined) {
        read = protocol::decode(data, size, snapshot);
        if (read) {
            listener.onSnapshot(snapshot);
        }
    }
    if (!read) {
        ++dropped;
    }
}

void ClientConnection::onChallenge(const protocol::Challenge& challenge) {
    std::optional<handshake::Key> key =
        handshake::ready() ? handshake::keyOf(password, challenge.salt) : std::nullopt;
    if (!key) {
        line("Cannot prove the password: out of memory");
        leave();
        current = State::Lost;
        return;
    }
    protocol::Answer answer;
    answer.nonce = handshake::freshNonce();
    answer.mac = handshake::proof(*key, challenge.nonce, answer.nonce, version);
    sendMessage(answer, protocol::kControl, NetHost::Delivery::Reliable);
}

void ClientConnection::refused(const protocol::Refused& refusal) {
    if (refusal.reason == protocol::Refusal::VersionMismatch) {
        line("Version mismatch: server " + std::to_string(refusal.serverVersion) + ", client " +
             std::to_string(version));
    } else {
        line(refusalLine(refusal.reason));
    }
    current = State::Refused;
}

void ClientConnection::send(const protocol::Commands& commands) {
    if (current != State::Joined) {
        return;
    }
    sendMessage(commands, protocol::kCommands, NetHost::Delivery::Unsequenced);
    enet_host_flush(host.get());
}

void ClientConnection::send(const protocol::Ready& ready) {
    if (current != State::Joined) {
        return;
    }
    sendMessage(ready, protocol::kControl, NetHost::Delivery::Reliable);
}

void ClientConnection::leave() {
    if (peer == nullptr) {
        return;
    }
    enet_peer_disconnect(peer, 0);
    awaitGoodbye();
    if (current == State::Joined || current == State::Proving || current == State::Connecting) {
        current = State::Lost;
    }
}

void ClientConnection::awaitGoodbye() {
    if (peer == nullptr) {
        return;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until =
        Clock::now() +
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kLeaveSeconds));
    bool gone = false;
    constexpr std::uint32_t kWaitMs = 10;
    while (!gone && Clock::now() < until) {
        host.service(kWaitMs, [&](const ENetEvent& event) {
            gone = gone || event.type == ENET_EVENT_TYPE_DISCONNECT;
        });
    }
    if (!gone) {
        enet_peer_reset(peer);
    }
    peer = nullptr;
}
