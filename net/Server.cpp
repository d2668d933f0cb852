#include "net/Server.h"

#include <algorithm>
#include <cmath>

using protocol::Phase;

namespace {

const char* const kListenError = "Cannot listen on UDP port ";

std::string seatName(int seat) {
    return std::to_string(seat + 1);
}

protocol::TankView viewOf(const Tank& tank) {
    protocol::TankView view;
    view.pose = tank.pose();
    view.lives = static_cast<std::int8_t>(std::clamp(tank.lives, -128, 127));
    view.graceTicks = static_cast<std::uint8_t>(std::clamp(tank.graceTicks, 0, 255));
    view.speed = tank.speed;
    return view;
}

} // namespace

Server::Server(const ServerOptions& chosen, std::ostream& console)
    : options(chosen), console(console), host(NetHost::listening(chosen.port, kPeers)),
      game(chosen.seed, {Driver::Computer, Driver::Computer}),
      started(std::chrono::steady_clock::now()) {
    constexpr std::size_t kEventsPerTick = 64;
    events.reserve(kEventsPerTick);
    outgoing.events.reserve(protocol::kMaxEventsPerMessage);
    received.commands.reserve(protocol::kMaxCommandsPerDatagram);
    seatHolder.fill(-1);
    game.state.rules = options.rules;
    for (int seat = 0; seat < game.seatCount(); ++seat) {
        game.setSkill(seat, options.skill);
    }
    if (!host.ok()) {
        error = kListenError + std::to_string(options.port);
        return;
    }
    if (!options.password.empty()) {
        salt = handshake::freshSalt();
        key = handshake::ready() ? handshake::keyOf(options.password, salt) : std::nullopt;
        if (!key) {
            error = "Cannot make the password's key: out of memory";
        }
    }
}

double Server::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

int Server::players() const {
    return static_cast<int>(std::count_if(visitors.begin(), visitors.end(), [](const Visitor& v) {
        return v.stage == Stage::Joined;
    }));
}

void Server::line(const std::string& text) {
    // One write per line: the host's console is shared with its own player's game.
    console << (text + "\n") << std::flush;
}

void Server::service(std::uint32_t timeoutMs) {
    if (!host.ok()) {
        return;
    }
    counted.serviceErrors += host.service(timeoutMs, [this](const ENetEvent& event) {
        auto* visitor = static_cast<Visitor*>(event.peer->data);
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            onConnect(event.peer);
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            if (visitor != nullptr) {
                onReceive(*visitor, event.channelID, event.packet->data, event.packet->dataLength);
            }
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (visitor != nullptr) {
                onLeave(*visitor);
            }
            event.peer->data = nullptr;
            break;
        default:
            break;
        }
    });
}

void Server::onConnect(ENetPeer* peer) {
    for (Visitor& visitor : visitors) {
        if (visitor.stage == Stage::Free) {
            visitor = Visitor();
            visitor.stage = Stage::Connected;
            visitor.peer = peer;
            visitor.since = now();
            peer->data = &visitor;
            return;
        }
    }
    enet_peer_disconnect_now(peer, 0);
}

bool Server::withinLimit(Visitor& visitor) {
    const double time = now();
    if (time - visitor.windowStart >= 1.0) {
        visitor.windowStart = time;
        visitor.messagesInWindow = 0;
    }
    return ++visitor.messagesInWindow <= kMessagesPerSecond;
}

void Server::onReceive(Visitor& visitor, std::uint8_t channel, const std::uint8_t* data,
                       std::size_t size) {
    protocol::Kind kind;
    if (!withinLimit(visitor) || !protocol::kindOf(data, size, kind)) {
        ++counted.malformed;
        return;
    }
    const bool control = channel == protocol::kControl;
    if (visitor.stage == Stage::Connected && control && kind == protocol::Kind::Hello) {
        onHello(visitor, data, size);
    } else if (visitor.stage == Stage::Challenged && control && kind == protocol::Kind::Answer) {
        onAnswer(visitor, data, size);
    } else if (visitor.stage == Stage::Joined && channel == protocol::kCommands &&
               kind == protocol::Kind::Commands) {
        onCommands(visitor, data, size);
    } else if (visitor.stage == Stage::Joined && control && kind == protocol::Kind::Ready) {
        onReady(visitor, data, size);
    } else if (visitor.stage != Stage::Leaving) {
        ++counted.malformed;
    }
}

void Server::onHello(Visitor& visitor, const std::uint8_t* data, std::size_t size) {
    protocol::Hello hello;
    if (!protocol::decode(data, size, hello)) {
        ++counted.malformed;
        return;
    }
    if (!attempts.allow(visitor.peer->address.host, now())) {
        refuse(visitor, protocol::Refusal::TooManyAttempts);
    } else if (hello.version != protocol::kVersion) {
        line("Version mismatch: server " + std::to_string(protocol::kVersion) + ", client " +
             std::to_string(hello.version));
        refuse(visitor, protocol::Refusal::VersionMismatch);
    } else if (freeSeat() < 0) {
        refuse(visitor, protocol::Refusal::ServerFull);
    } else if (key) {
        protocol::Challenge challenge;
        challenge.nonce = handshake::freshNonce();
        challenge.salt = salt;
        visitor.nonce = challenge.nonce;
        visitor.stage = Stage::Challenged;
        sendTo(visitor, challenge, protocol::kControl, NetHost::Delivery::Reliable);
    } else {
        admit(visitor);
    }
}

void Server::onAnswer(Visitor& visitor, const std::uint8_t* data, std::size_t size) {
    protocol::Answer answer;
    if (!protocol::decode(data, size, answer)) {
        ++counted.malformed;
        return;
    }
    if (!handshake::proves(*key, visitor.nonce, answer, protocol::kVersion)) {
        refuse(visitor, protocol::Refusal::WrongPassword);
    } else if (freeSeat() < 0) {
        refuse(visitor, protocol::Refusal::ServerFull);
    } else {
        admit(visitor);
    }
}

void Server::onCommands(Visitor& visitor, const std::uint8_t* data, std::size_t size) {
    if (!protocol::decode(data, size, received)) {
        ++counted.malformed;
        return;
    }
    const auto count = static_cast<std::uint32_t>(received.commands.size());
    const std::uint32_t newest = received.firstTick + count - 1;
    // In a match, the lead of the first command this datagram brings: the earlier ones came
    // before, or were lost and come now. A datagram that brings nothing new but is late still
    // counts. Out of a match, the newest command's.
    const bool current = received.match == matches;
    const std::uint32_t known = visitor.commands.newest();
    const auto after = [](std::uint32_t a, std::uint32_t b) {
        return static_cast<std::int32_t>(a - b) > 0;
    };
    std::uint32_t measured = newest;
    if (current && after(newest, known)) {
        measured = after(received.firstTick, known) ? received.firstTick : known + 1;
    } else if (current && after(newest, visitor.commands.lastTaken())) {
        return; // a duplicate, in time
    }
    // Its tick is stepped once the server's time reaches it.
    const double sinceTick = std::clamp((now() - tickTime) / Match::kTickSeconds, 0.0, 1.0);
    const auto lead = static_cast<float>(
        static_cast<double>(static_cast<std::int32_t>(measured - clock)) - sinceTick);
    visitor.lead = visitor.leadTaken ? lead : std::min(visitor.lead, lead);
    visitor.leadTaken = false;
    if (!current) {
        return;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        visitor.commands.store(received.firstTick + i, received.commands[i]);
    }
}

void Server::onReady(Visitor& visitor, const std::uint8_t* data, std::size_t size) {
    protocol::Ready ready;
    if (!protocol::decode(data, size, ready)) {
        ++counted.malformed;
        return;
    }
    if (ready.match == matches && gamePhase != Phase::Playing) {
        visitor.ready = true;
    }
}

int Server::freeSeat() const {
    for (int seat = 0; seat < protocol::kSeatCount; ++seat) {
        if (seatHolder[seat] < 0) {
            return seat;
        }
    }
    return -1;
}

void Server::admit(Visitor& visitor) {
    const int seat = freeSeat();
    visitor.stage = Stage::Joined;
    visitor.seat = seat;
    visitor.commands.reset(clock);
    seatHolder[seat] = static_cast<int>(&visitor - visitors.data());
    protocol::Welcome welcome;
    welcome.seat = static_cast<std::int8_t>(seat);
    welcome.tick = clock;
    sendTo(visitor, welcome, protocol::kControl, NetHost::Delivery::Reliable);
    line("Player joined seat " + seatName(seat));
    if (gamePhase != Phase::Playing) {
        seatWaiting();
    }
    sendStatus();
}

void Server::refuse(Visitor& visitor, protocol::Refusal reason) {
    protocol::Refused refused;
    refused.reason = reason;
    sendTo(visitor, refused, protocol::kControl, NetHost::Delivery::Reliable);
    enet_peer_disconnect_later(visitor.peer, 0);
    visitor.stage = Stage::Leaving;
    visitor.since = now();
    ++counted.refused;
}

void Server::onLeave(Visitor& visitor) {
    if (visitor.stage == Stage::Joined) {
        const int seat = visitor.seat;
        seatHolder[seat] = -1;
        game.seat(seat).driver = Driver::Computer;
        line("Player left seat " + seatName(seat) + ": the computer takes over");
    }
    visitor = Visitor();
    if (players() == 0 && gamePhase != Phase::Title) {
        gamePhase = Phase::Title;
        phaseTick = clock;
    }
    sendStatus();
}

void Server::seatWaiting() {
    for (int seat = 0; seat < protocol::kSeatCount; ++seat) {
        game.seat(seat).driver = seatHolder[seat] >= 0 ? Driver::Human : Driver::Computer;
    }
}

void Server::tick() {
    ++clock;
    ++counted.ticks;
    tickTime = now();
    // Clients that never proved themselves, or never went when told to, are let go.
    for (Visitor& visitor : visitors) {
        const bool proving =
            visitor.stage == Stage::Connected || visitor.stage == Stage::Challenged;
        const double waited = tickTime - visitor.since;
        if ((proving && waited > kHandshakeSeconds) ||
            (visitor.stage == Stage::Leaving && waited > kRefusedSeconds)) {
            visitor.peer->data = nullptr;
            enet_peer_disconnect_now(visitor.peer, 0);
            visitor = Visitor();
        }
        if (visitor.stage == Stage::Joined &&
            host.get()->serviceTime - visitor.peer->lastReceiveTime > kSilentMs) {
            ENetPeer* peer = visitor.peer;
            peer->data = nullptr;
            onLeave(visitor);
            enet_peer_reset(peer);
        }
    }

    SeatCommands commands{};
    bool everyoneReady = true;
    for (int seat = 0; seat < protocol::kSeatCount; ++seat) {
        if (seatHolder[seat] < 0) {
            continue;
        }
        Visitor& visitor = visitors[static_cast<std::size_t>(seatHolder[seat])];
        const bool arrived = visitor.commands.take(commands[seat]);
        if (!arrived && gamePhase == Phase::Playing && game.seat(seat).driver == Driver::Human) {
            ++counted.repeatedCommands;
        }
        everyoneReady = everyoneReady && visitor.ready;
    }
    if (gamePhase == Phase::Playing) {
        stepMatch(commands);
    } else if (players() > 0 && everyoneReady) {
        startMatch();
    } else {
        game.settle();
    }
    if (observer != nullptr) {
        observer->ticked(clock, game);
    }
    if (clock % kSnapshotTicks == 0) {
        sendSnapshots();
    }
    enet_host_flush(host.get());
}

void Server::startMatch() {
    ++matches;
    gamePhase = Phase::Playing;
    phaseTick = clock;
    game.restart();
    game.state.rules = options.rules;
    for (Visitor& visitor : visitors) {
        visitor.ready = false;
    }
    sendStatus();
}

void Server::stepMatch(const SeatCommands& commands) {
    events.clear();
    game.step(commands, events);
    sendEvents(events);
    if (!game.outcome().running()) {
        gamePhase = Phase::Ended;
        phaseTick = clock;
        seatWaiting();
        sendStatus();
    }
}

void Server::sendEvents(const EventList& tickEvents) {
    outgoing.match = matches;
    outgoing.tick = clock;
    outgoing.events.clear();
    const auto flush = [this] {
        if (outgoing.events.empty()) {
            return;
        }
        bytes.clear();
        protocol::encode(outgoing, bytes);
        for (const Visitor& visitor : visitors) {
            if (visitor.stage == Stage::Joined) {
                NetHost::send(visitor.peer, protocol::kControl, NetHost::Delivery::Reliable,
                              bytes.data(), bytes.size());
            }
        }
        outgoing.events.clear();
    };
    const std::vector<Bullet>& bullets = game.state.bullets.bullets;
    for (const GameEvent& event : tickEvents) {
        protocol::WireEvent wire;
        wire.type = event.type;
        wire.seat = static_cast<std::int8_t>(event.seat);
        wire.position = event.position;
        if (!protocol::sentAsEvent(event.type)) {
            continue;
        }
        if (event.bullet != kNoBullet) {
            if (event.bullet < 0 || static_cast<std::size_t>(event.bullet) >= bullets.size()) {
                continue;
            }
            const Bullet& bullet = bullets[static_cast<std::size_t>(event.bullet)];
            wire.owner = static_cast<std::int8_t>(bullet.owner);
            wire.firedTick = bullet.firedTick + (clock - game.state.tick);
            wire.direction = bullet.direction;
            wire.origin = bullet.origin;
        }
        if (event.type == GameEventType::Shot) {
            line("Shot from seat " + seatName(event.seat));
        } else if (event.type == GameEventType::TankHit) {
            ++counted.hits[static_cast<std::size_t>(event.seat)];
        }
        outgoing.events.push_back(wire);
        if (outgoing.events.size() == protocol::kMaxEventsPerMessage) {
            flush();
        }
    }
    flush();
}

void Server::sendStatus() {
    protocol::Status status;
    status.match = matches;
    status.phase = gamePhase;
    status.tick = phaseTick;
    status.rules = game.state.rules;
    status.outcome = gamePhase == Phase::Ended ? game.outcome() : Outcome();
    for (int seat = 0; seat < protocol::kSeatCount; ++seat) {
        status.lives[seat] = static_cast<std::int8_t>(std::clamp(game.tank(seat).lives, 0, 127));
    }
    for (std::size_t index = 0; index < visitors.size(); ++index) {
        const Visitor& visitor = visitors[index];
        if (visitor.stage != Stage::Joined) {
            continue;
        }
        for (int seat = 0; seat < protocol::kSeatCount; ++seat) {
            status.seats[seat] = seatHolder[seat] == static_cast<int>(index)
                                     ? protocol::Occupant::You
                                 : seatHolder[seat] >= 0 ? protocol::Occupant::Person
                                                         : protocol::Occupant::Computer;
        }
        const bool drives = game.seat(visitor.seat).driver == Driver::Human;
        status.yourSeat = static_cast<std::int8_t>(
            gamePhase != Phase::Playing || drives ? visitor.seat : protocol::kWaiting);
        sendTo(visitor, status, protocol::kControl, NetHost::Delivery::Reliable);
    }
}

void Server::sendSnapshots() {
    protocol::Snapshot snapshot;
    snapshot.match = matches;
    snapshot.tick = clock;
    snapshot.phase = gamePhase;
    for (int seat = 0; seat < protocol::kSeatCount; ++seat) {
        snapshot.tanks[seat] = viewOf(game.tank(seat));
    }
    for (Visitor& visitor : visitors) {
        if (visitor.stage != Stage::Joined) {
            continue;
        }
        snapshot.ack = visitor.commands.newest();
        snapshot.lead =
            visitor.leadTaken
                ? protocol::kNoLead
                : static_cast<std::int16_t>(
                      std::clamp(std::lround(visitor.lead * protocol::kLeadUnit), -32767L, 32767L));
        visitor.leadTaken = true;
        snapshot.hasOwn =
            gamePhase == Phase::Playing && game.seat(visitor.seat).driver == Driver::Human;
        if (snapshot.hasOwn) {
            snapshot.own = game.tank(visitor.seat);
        }
        sendTo(visitor, snapshot, protocol::kSnapshots, NetHost::Delivery::Unreliable);
    }
}
