#include "net/ClientConnection.h"

#include <sodium.h>

#include <algorithm>
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
    case protocol::Refusal::AddressFull:
        return "Too many players from this address";
    case protocol::Refusal::VersionMismatch:
    case protocol::Refusal::SeatGone:
        break;
    }
    return "";
}
} // namespace

ClientConnection::ClientConnection(const std::string& hostName, std::uint16_t port,
                                   std::string password, std::ostream& console,
                                   std::ostream& errors, std::uint32_t version, std::string name,
                                   bool watch)
    : hostName(hostName), port(port), address(hostName + ":" + std::to_string(port)),
      password(std::move(password)), name(std::move(name)), console(console), errors(errors),
      version(version), watchOnly(watch), gate(std::chrono::steady_clock::now()) {
    bytes.reserve(SealedLink::kLargestMessage);
    events.events.reserve(protocol::kMaxEventsPerMessage);
    if (!handshake::ready()) {
        line(errors, "Cannot start the cryptography library");
        current = State::Lost;
        return;
    }
    connect();
    if (peer == nullptr) {
        line(console, "Cannot connect to " + address);
        current = State::Lost;
    }
}

void ClientConnection::line(std::ostream& stream, const std::string& text) {
    stream << (text + "\n") << std::flush;
}

void ClientConnection::connect() {
    host = NetHost::connecting();
    host.guard(gate);
    gate.guard.reset();
    peer = host.connect(hostName, port);
    stage = Stage::Connecting;
    challenged = false;
    attemptAt = gate.now();
    arenaFile.clear();
    arenaTotal = 0;
}

void ClientConnection::startOver(double lastHeard) {
    if (!token) {
        line(console, "Connection lost");
        current = State::Lost;
        return;
    }
    line(console, "Connection lost: reconnecting");
    current = State::Reconnecting;
    lostAt = lastHeard;
    if (peer != nullptr) {
        enet_peer_reset(peer);
    }
    connect();
}

void ClientConnection::service(ServerListener& listener) {
    if (over()) {
        return;
    }
    const double time = gate.now();
    if (current == State::Reconnecting && stage != Stage::Joined) {
        if (time - lostAt > kSeatHeldSeconds) {
            loseSeat();
            return;
        }
        const bool stalled = stage == Stage::Connecting || peer == nullptr;
        if (stalled && time - attemptAt >= kRetrySeconds) {
            connect();
        }
    }
    bool refusedNow = false;
    host.service(0, [&](const ENetEvent& event) {
        if (over() || event.peer != peer) {
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                ++dropped;
            }
            return;
        }
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT: {
            stage = Stage::Proving;
            keys = handshake::freshKeyPair();
            protocol::Hello hello;
            hello.version = version;
            hello.key = keys.publicKey;
            sendPlain(hello);
            break;
        }
        case ENET_EVENT_TYPE_RECEIVE:
            onReceive(listener, event.channelID, event.packet->data, event.packet->dataLength);
            refusedNow = current == State::Refused;
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            peer = nullptr;
            if (current == State::Reconnecting) {
                break; // the next attempt is made in its time
            }
            if (stage == Stage::Joined && !gate.guard.farewellHeard()) {
                startOver(std::max(gate.guard.lastSnapshot(), joinedAt));
            } else if (stage == Stage::Joined) {
                line(console, "Connection lost");
                current = State::Lost;
            } else if (current != State::Refused) {
                line(console, "Cannot connect to " + address);
                current = State::Lost;
            }
            break;
        default:
            break;
        }
    });
    // A refused client waits for the server to let it go (it is on its way), so that the
    // server's peer is free again at once.
    if (refusedNow) {
        awaitGoodbye();
        return;
    }
    const double heard = std::max(gate.guard.lastSnapshot(), joinedAt);
    if (current == State::Joined && stage == Stage::Joined && gate.now() - heard > kQuietSeconds) {
        startOver(heard);
    }
}

void ClientConnection::onReceive(ServerListener& listener, std::uint8_t channel,
                                 const std::uint8_t* data, std::size_t size) {
    if (!gate.guard.keyed()) {
        onPlain(data, size);
        return;
    }
    const bool read = gate.guard.link.receive(channel, data, size,
                                              [&](const std::uint8_t* message, std::size_t length) {
                                                  if (!over()) {
                                                      onSealed(listener, channel, message, length);
                                                  }
                                              });
    if (!read && !over()) {
        ++dropped;
        distrust("message");
    }
}

void ClientConnection::onPlain(const std::uint8_t* data, std::size_t size) {
    // The gate let through only a Challenge, a Refused or a Welcome.
    protocol::Kind kind;
    if (!protocol::kindOf(data, size, kind) || stage != Stage::Proving) {
        ++dropped;
        return;
    }
    bool read = false;
    if (kind == protocol::Kind::Challenge) {
        protocol::Challenge challenge;
        read = protocol::decode(data, size, challenge);
        if (read) {
            onChallenge(challenge);
        }
    } else if (kind == protocol::Kind::Refused) {
        protocol::Refused refusal;
        read = protocol::decode(data, size, refusal);
        if (read) {
            refused(refusal);
        }
    } else if (kind == protocol::Kind::Welcome) {
        protocol::Welcome welcome;
        read = protocol::decode(data, size, welcome);
        if (read) {
            onWelcome(welcome);
        }
    }
    if (!read) {
        ++dropped;
        distrust(protocol::nameOf(kind));
    }
}

void ClientConnection::onChallenge(const protocol::Challenge& challenge) {
    if (challenged) {
        distrust(protocol::nameOf(protocol::Kind::Challenge));
        return;
    }
    challenged = true;
    if (!passwordKey ||
        sodium_memcmp(passwordSalt.data(), challenge.salt.data(), passwordSalt.size()) != 0) {
        ++hashes;
        passwordKey = handshake::keyOf(password, challenge.salt);
        passwordSalt = challenge.salt;
    }
    if (!passwordKey) {
        line(errors, "Cannot prove the password: out of memory");
        leave();
        current = State::Lost;
        return;
    }
    transcript = handshake::Transcript();
    transcript.serverNonce = challenge.nonce;
    transcript.clientNonce = handshake::freshNonce();
    transcript.version = version;
    transcript.clientKey = keys.publicKey;
    transcript.serverKey = challenge.key;
    protocol::Answer answer;
    answer.nonce = transcript.clientNonce;
    answer.mac = handshake::proof(*passwordKey, handshake::Side::Client, transcript);
    sendPlain(answer);
}

void ClientConnection::onWelcome(const protocol::Welcome& welcome) {
    // With a password, only a server that proves it knows it too, over the keys it was
    // challenged with, is taken.
    if (!password.empty() &&
        (!challenged || !passwordKey ||
         sodium_memcmp(welcome.key.data(), transcript.serverKey.data(), welcome.key.size()) != 0 ||
         !handshake::proves(*passwordKey, handshake::Side::Server, transcript, welcome.mac))) {
        distrust(protocol::nameOf(protocol::Kind::Welcome));
        return;
    }
    Seal::Key receive;
    Seal::Key send;
    const bool agreed = handshake::clientSession(keys, welcome.key, receive, send);
    sodium_memzero(keys.secretKey.data(), keys.secretKey.size());
    if (!agreed) {
        distrust(protocol::nameOf(protocol::Kind::Welcome));
        return;
    }
    gate.guard.expect({});
    gate.guard.link.begin(receive, send);
    sodium_memzero(receive.data(), receive.size());
    sodium_memzero(send.data(), send.size());
    stage = Stage::Joining;
    protocol::Join join;
    join.resume = current == State::Reconnecting && token.has_value();
    if (join.resume) {
        join.token = *token;
    }
    join.name = name;
    join.watch = watchOnly;
    queue(join);
    gate.guard.link.flush(peer);
}

void ClientConnection::onSealed(ServerListener& listener, std::uint8_t channel,
                                const std::uint8_t* data, std::size_t size) {
    protocol::Kind kind;
    if (!protocol::kindOf(data, size, kind)) {
        ++dropped;
        distrust("message");
        return;
    }
    const bool control = channel == protocol::kControl;
    const bool joined = stage == Stage::Joined;
    bool good = false;
    // A second Admitted gives a spectator its seat.
    const bool admittable = stage == Stage::Joining || (joined && watching());
    if (kind == protocol::Kind::Admitted && control && admittable) {
        protocol::Admitted admitted;
        good = protocol::decode(data, size, admitted);
        if (good) {
            onAdmitted(listener, admitted);
            return;
        }
    } else if (kind == protocol::Kind::ArenaPart && control && stage == Stage::Joining) {
        good = protocol::decode(data, size, part) && takePart(part);
        if (good) {
            return;
        }
    } else if (kind == protocol::Kind::Refused && control && !joined) {
        protocol::Refused refusal;
        good = protocol::decode(data, size, refusal);
        if (good) {
            refused(refusal);
            return;
        }
    } else if (kind == protocol::Kind::Leave && control) {
        protocol::Leave leave;
        good = protocol::decode(data, size, leave);
        if (good) {
            line(console, "Connection lost");
            current = State::Lost;
            return;
        }
    } else if (kind == protocol::Kind::Status && control && joined) {
        protocol::Status status;
        good = protocol::decode(data, size, status) && listener.onStatus(status);
    } else if (kind == protocol::Kind::Events && control && joined) {
        good = protocol::decode(data, size, events) && listener.onEvents(events);
    } else if (kind == protocol::Kind::Snapshot && channel == protocol::kSnapshots) {
        // Snapshots go unreliably and the admission reliably: when the admission's datagram is
        // lost, the snapshots the server sends while it is resent come first. They are passed
        // over; the client reads the match from the first one after its admission.
        if (!joined) {
            return;
        }
        good = protocol::decode(data, size, snapshot) && listener.onSnapshot(snapshot);
    }
    if (!good) {
        ++dropped;
        distrust(protocol::nameOf(kind));
    }
}

bool ClientConnection::takePart(const protocol::ArenaPart& taken) {
    if (arenaFile.empty()) {
        if (taken.offset != 0) {
            return false;
        }
        arenaHash = taken.hash;
        arenaTotal = taken.total;
        arenaFile.reserve(arenaTotal);
    } else if (taken.hash != arenaHash || taken.total != arenaTotal ||
               taken.offset != arenaFile.size()) {
        return false;
    }
    // The part lies within its total (protocol::decode).
    arenaFile.append(taken.bytes.begin(), taken.bytes.end());
    return true;
}

void ClientConnection::onAdmitted(ServerListener& listener, const protocol::Admitted& admitted) {
    const bool resumed = current == State::Reconnecting;
    if (!arenaFile.empty() && (arenaFile.size() != arenaTotal || arenaHash != admitted.arena)) {
        distrust(protocol::nameOf(protocol::Kind::ArenaPart));
        return;
    }
    arenaFault.clear();
    const bool playable = listener.onArena(admitted.arena, arenaFile, arenaFault);
    arenaFile.clear();
    if (!playable) {
        line(console, "Cannot join: " + arenaFault);
        if (peer != nullptr) {
            enet_peer_disconnect_now(peer, 0);
            peer = nullptr;
        }
        current = State::Refused;
        return;
    }
    const bool seatedNow = stage == Stage::Joined;
    const bool spectator = admitted.seat == protocol::kWaiting;
    if (resumed != admitted.resumed || (seatedNow && spectator) || !listener.onAdmitted(admitted)) {
        distrust(protocol::nameOf(protocol::Kind::Admitted));
        return;
    }
    token.reset();
    if (!spectator) {
        token = admitted.token;
    }
    stage = Stage::Joined;
    current = State::Joined;
    joinedAt = gate.now();
    if (seatedNow) {
        line(console, "Seat " + std::to_string(admitted.seat + 1) + " is free: playing");
        return;
    }
    line(console, (resumed ? "Reconnected to " : "Connected to ") + address);
    if (spectator) {
        line(console, watchOnly ? "Watching" : kWatchingLine);
    }
}

void ClientConnection::refused(const protocol::Refused& refusal) {
    if (current == State::Reconnecting) {
        if (refusal.reason == protocol::Refusal::SeatGone) {
            loseSeat();
        }
        return; // else the next attempt is made in its time
    }
    if (refusal.reason == protocol::Refusal::VersionMismatch) {
        line(console, "Version mismatch: server " + std::to_string(refusal.serverVersion) +
                          ", client " + std::to_string(version));
    } else {
        line(console, refusalLine(refusal.reason));
    }
    current = State::Refused;
}

void ClientConnection::distrust(const char* what) {
    line(errors, std::string("Server sent a bad ") + what + ": disconnecting");
    if (peer != nullptr) {
        enet_peer_disconnect_now(peer, 0);
        peer = nullptr;
    }
    current = State::Lost;
}

void ClientConnection::loseSeat() {
    line(errors, kSeatLostLine);
    if (peer != nullptr) {
        enet_peer_reset(peer);
        peer = nullptr;
    }
    lostSeat = true;
    current = State::Lost;
}

void ClientConnection::send(const protocol::Commands& commands) {
    if (current != State::Joined) {
        return;
    }
    bytes.clear();
    protocol::encode(commands, bytes);
    gate.guard.link.sendAlone(peer, protocol::kCommands, NetHost::Delivery::Unsequenced, bytes);
    enet_host_flush(host.get());
}

void ClientConnection::send(const protocol::Watching& watching) {
    if (current != State::Joined) {
        return;
    }
    bytes.clear();
    protocol::encode(watching, bytes);
    gate.guard.link.sendAlone(peer, protocol::kCommands, NetHost::Delivery::Unsequenced, bytes);
    enet_host_flush(host.get());
}

void ClientConnection::send(const protocol::Ready& ready) {
    if (current != State::Joined) {
        return;
    }
    queue(ready);
    gate.guard.link.flush(peer);
}

void ClientConnection::leave() {
    if (peer == nullptr) {
        return;
    }
    if (!gate.guard.keyed()) {
        // The server takes no goodbye before the keys; it lets the peer go by itself.
        enet_peer_disconnect_now(peer, 0);
        peer = nullptr;
    } else {
        // The DISCONNECT goes once the Leave is acknowledged: the server takes none before it,
        // and ENet drops what is queued when it disconnects at once.
        queue(protocol::Leave());
        gate.guard.link.flush(peer, true);
        enet_peer_disconnect_later(peer, 0);
        awaitGoodbye();
    }
    if (current != State::Refused) {
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
