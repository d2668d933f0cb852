#include "net/Server.h"

#include <sodium.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using protocol::Phase;

namespace {

const char* const kListenError = "Cannot listen on UDP port ";
const char* const kUnnamedServer = "Brakkel server";

std::string seatName(int seat) {
    return std::to_string(seat + 1);
}

ServerGate::Limits gateLimits() {
    ServerGate::Limits limits;
    limits.messagesPerSecond = Server::kMessagesPerSecond;
    return limits;
}

// Commands ENet holds for a peer, not yet handed over.
std::size_t queuedCommands(ENetPeer& peer) {
    std::size_t queued = enet_list_size(&peer.dispatchedCommands);
    for (std::size_t channel = 0; peer.channels != nullptr && channel < peer.channelCount;
         ++channel) {
        queued += enet_list_size(&peer.channels[channel].incomingReliableCommands) +
                  enet_list_size(&peer.channels[channel].incomingUnreliableCommands);
    }
    return queued;
}

} // namespace

MatchSetup ServerOptions::setup() const {
    if (mode == Mode::Duel) {
        return MatchSetup::duel(rules, skill).clamped();
    }
    return MatchSetup::battle(tanks, teams, fragLimit, timeLimitSeconds, skill).clamped();
}

std::size_t ServerOptions::peers() const {
    return static_cast<std::size_t>(setup().seats) + spectators + sparePeers;
}

Server::Server(const ServerOptions& chosen, std::ostream& console)
    : options(chosen), console(console),
      gate(chosen.peers(), gateLimits(), std::chrono::steady_clock::now()),
      host(NetHost::listening(chosen.port, chosen.peers())), peerSweep(chosen.peers()),
      visitors(chosen.peers()), seats(chosen.setup().seats),
      flow(chosen.setup(), chosen.seed, chosen.arena), arenaHash(chosen.arena.hash()) {
    constexpr std::size_t kEventsPerTick = 64;
    events.reserve(kEventsPerTick);
    outgoing.events.reserve(protocol::kMaxEventsPerMessage);
    received.commands.reserve(protocol::kMaxCommandsPerDatagram);
    bytes.reserve(SealedLink::kLargestMessage);
    if (!host.ok()) {
        error = kListenError + std::to_string(options.port);
        return;
    }
    host.guard(gate);
    if (!handshake::ready()) {
        error = "Cannot start the cryptography library";
        return;
    }
    if (options.arenaFile.size() > protocol::kMaxArenaBytes) {
        error = "Cannot send the arena: its file is larger than " +
                std::to_string(protocol::kMaxArenaBytes) + " bytes";
        return;
    }
    arenaPart.bytes.reserve(protocol::kArenaPartBytes);
    describeForDiscovery();
    if (!options.password.empty()) {
        salt = handshake::freshSalt();
        key = handshake::keyOf(options.password, salt);
        if (!key) {
            error = "Cannot make the password's key: out of memory";
        }
    }
}

Server::~Server() {
    if (!host.ok()) {
        return;
    }
    for (Visitor& visitor : visitors) {
        if (told(visitor)) {
            queue(visitor, protocol::Leave());
            guardOf(visitor).link.flush(visitor.peer, true);
        }
    }
    // The farewells go before the disconnects, which would drop them from the queues.
    enet_host_flush(host.get());
    for (Visitor& visitor : visitors) {
        if (told(visitor)) {
            enet_peer_disconnect_now(visitor.peer, 0);
        }
    }
}

void Server::describeForDiscovery() {
    discovery::Answer& about = gate.discovery.about;
    randombytes_buf(&about.serverId, sizeof about.serverId);
    std::string name = options.name;
    if (name.empty()) {
        char hostName[256] = {};
        if (gethostname(hostName, sizeof hostName - 1) == 0) {
            name = hostName;
        }
    }
    about.name = player_name::cleaned(name, kUnnamedServer);
    about.arena = discovery::arenaName(flow.match.arena.name);
    about.version = protocol::kVersion;
    const MatchSetup setup = options.setup();
    about.mode = setup.mode;
    about.teams = setup.mode == Mode::Battle && setup.teams;
    about.seats = flow.seatCount();
    about.persons = flow.people();
    about.password = !options.password.empty();
    gate.discovery.enabled = options.discovery;
}

int Server::players() const {
    return static_cast<int>(std::count_if(visitors.begin(), visitors.end(), [](const Visitor& v) {
        return v.stage == Stage::Joined;
    }));
}

bool Server::waiting() const {
    return std::any_of(visitors.begin(), visitors.end(),
                       [](const Visitor& v) { return v.stage == Stage::Watching && !v.watchOnly; });
}

int Server::spectators() const {
    return static_cast<int>(std::count_if(visitors.begin(), visitors.end(), [](const Visitor& v) {
        return v.stage == Stage::Watching;
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
        Visitor& visitor = visitors[static_cast<std::size_t>(event.peer - host.get()->peers)];
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            onConnect(event.peer);
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            if (visitor.stage != Stage::Free) {
                onReceive(visitor, event.channelID, event.packet->data, event.packet->dataLength);
            }
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            onDisconnect(visitor);
            break;
        default:
            break;
        }
    });
}

void Server::onConnect(ENetPeer* peer) {
    Visitor& visitor = visitors[static_cast<std::size_t>(peer - host.get()->peers)];
    forget(visitor);
    visitor.stage = Stage::Connected;
    visitor.peer = peer;
    visitor.since = now();
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
    if (visitor.stage == Stage::Connected || visitor.stage == Stage::Challenged) {
        // The gate let through only the plain kind this stage expects.
        protocol::Kind kind;
        if (!withinLimit(visitor) || !protocol::kindOf(data, size, kind)) {
            ++counted.malformed;
        } else if (visitor.stage == Stage::Connected && kind == protocol::Kind::Hello) {
            onHello(visitor, data, size);
        } else if (visitor.stage == Stage::Challenged && kind == protocol::Kind::Answer) {
            onAnswer(visitor, data, size);
        } else {
            ++counted.malformed;
        }
        return;
    }
    const bool read = guardOf(visitor).link.receive(
        channel, data, size, [&](const std::uint8_t* message, std::size_t length) {
            onMessage(visitor, channel, message, length);
        });
    if (!read && visitor.stage != Stage::Free) {
        // A stream that does not read: the client is broken or hostile, and goes.
        ++counted.malformed;
        release(visitor);
    }
}

void Server::onMessage(Visitor& visitor, std::uint8_t channel, const std::uint8_t* data,
                       std::size_t size) {
    protocol::Kind kind;
    if (visitor.stage == Stage::Free || visitor.stage == Stage::Leaving) {
        return;
    }
    if (!withinLimit(visitor) || !protocol::kindOf(data, size, kind)) {
        ++counted.malformed;
        return;
    }
    const bool control = channel == protocol::kControl;
    if (visitor.stage == Stage::Keyed && control && kind == protocol::Kind::Join) {
        onJoin(visitor, data, size);
    } else if (visitor.stage == Stage::Joined && channel == protocol::kCommands &&
               kind == protocol::Kind::Commands) {
        onCommands(visitor, data, size);
    } else if (visitor.stage == Stage::Joined && control && kind == protocol::Kind::Ready) {
        onReady(visitor, data, size);
    } else if (visitor.stage == Stage::Watching && channel == protocol::kCommands &&
               (kind == protocol::Kind::Commands || kind == protocol::Kind::Watching)) {
        // Heard, which is all a spectator's message is for; a command drives nothing.
        counted.spectatorCommands += kind == protocol::Kind::Commands ? 1 : 0;
    } else if (control && kind == protocol::Kind::Leave && size == 1) {
        release(visitor);
    } else {
        ++counted.malformed;
    }
}

void Server::onHello(Visitor& visitor, const std::uint8_t* data, std::size_t size) {
    protocol::Hello hello;
    if (!protocol::decode(data, size, hello)) {
        ++counted.malformed;
        return;
    }
    if (!gate.attempts.allow(visitor.peer->address.host, now())) {
        refuse(visitor, protocol::Refusal::TooManyAttempts);
    } else if (hello.version != protocol::kVersion) {
        line("Version mismatch: server " + std::to_string(protocol::kVersion) + ", client " +
             std::to_string(hello.version));
        refuse(visitor, protocol::Refusal::VersionMismatch);
    } else if (key) {
        visitor.keys = handshake::freshKeyPair();
        visitor.clientKey = hello.key;
        protocol::Challenge challenge;
        challenge.nonce = handshake::freshNonce();
        challenge.salt = salt;
        challenge.key = visitor.keys.publicKey;
        visitor.nonce = challenge.nonce;
        visitor.stage = Stage::Challenged;
        visitor.since = now();
        guardOf(visitor).expect({protocol::Kind::Answer});
        sendPlain(visitor, challenge);
    } else {
        visitor.keys = handshake::freshKeyPair();
        visitor.clientKey = hello.key;
        keyUp(visitor, protocol::Mac{});
    }
}

void Server::onAnswer(Visitor& visitor, const std::uint8_t* data, std::size_t size) {
    protocol::Answer answer;
    if (!protocol::decode(data, size, answer)) {
        ++counted.malformed;
        return;
    }
    if (!gate.checks.allow(visitor.peer->address.host, now())) {
        refuse(visitor, protocol::Refusal::TooManyAttempts);
        return;
    }
    ++counted.passwordChecks;
    handshake::Transcript transcript;
    transcript.serverNonce = visitor.nonce;
    transcript.clientNonce = answer.nonce;
    transcript.clientKey = visitor.clientKey;
    transcript.serverKey = visitor.keys.publicKey;
    if (!handshake::proves(*key, handshake::Side::Client, transcript, answer.mac)) {
        refuse(visitor, protocol::Refusal::WrongPassword);
        return;
    }
    keyUp(visitor, handshake::proof(*key, handshake::Side::Server, transcript));
}

std::size_t Server::fromAddress(const Visitor& visitor, Stage stage) const {
    return static_cast<std::size_t>(
        std::count_if(visitors.begin(), visitors.end(), [&](const Visitor& other) {
            return other.stage == stage && other.peer->address.host == visitor.peer->address.host;
        }));
}

void Server::keyUp(Visitor& visitor, const protocol::Mac& mac) {
    // Past the password, an address keeps at most its share of peers waiting for a seat.
    if (fromAddress(visitor, Stage::Keyed) >= options.playersPerAddress) {
        refuse(visitor, protocol::Refusal::AddressFull);
        return;
    }
    Seal::Key receive;
    Seal::Key send;
    const bool agreed = handshake::serverSession(visitor.keys, visitor.clientKey, receive, send);
    sodium_memzero(visitor.keys.secretKey.data(), visitor.keys.secretKey.size());
    if (!agreed) {
        ++counted.malformed;
        refuse(visitor, protocol::Refusal::WrongPassword);
        return;
    }
    protocol::Welcome welcome;
    welcome.key = visitor.keys.publicKey;
    welcome.mac = mac;
    sendPlain(visitor, welcome);
    guardOf(visitor).expect({});
    guardOf(visitor).link.begin(receive, send);
    sodium_memzero(receive.data(), receive.size());
    sodium_memzero(send.data(), send.size());
    visitor.stage = Stage::Keyed;
    visitor.since = now();
    if (key) {
        gate.trust(visitor.peer->address.host, now());
    }
}

void Server::onJoin(Visitor& visitor, const std::uint8_t* data, std::size_t size) {
    protocol::Join join;
    if (!protocol::decode(data, size, join)) {
        ++counted.malformed;
        return;
    }
    if (join.resume) {
        const int seat = seats.withToken(join.token);
        if (seat < 0) {
            refuse(visitor, protocol::Refusal::SeatGone);
        } else {
            admit(visitor, seat, true);
        }
        return;
    }
    // Those watching came first: a newcomer queues behind them.
    const int seat = join.watch || waiting() ? -1 : seats.free();
    if (fromAddress(visitor, Stage::Joined) + fromAddress(visitor, Stage::Watching) >=
        options.playersPerAddress) {
        refuse(visitor, protocol::Refusal::AddressFull);
    } else if (seat < 0 && static_cast<std::size_t>(spectators()) < options.spectators) {
        watch(visitor, join);
    } else if (seat < 0) {
        refuse(visitor, protocol::Refusal::ServerFull);
    } else {
        flow.seatPerson(seat, uniqueName(join.name, seat).data());
        admit(visitor, seat, false);
    }
}

player_name::Name Server::uniqueName(const std::string& asked, int seat) const {
    const player_name::Name base = player_name::cleaned(asked, "Player");
    const auto taken = [&](const char* name) {
        for (int other = 0; other < flow.seatCount(); ++other) {
            if (other != seat && std::strcmp(flow.name(other), name) == 0) {
                return true;
            }
        }
        return false;
    };
    player_name::Name name = base;
    for (int number = 2; taken(name.data()); ++number) {
        // "Ada 2": the number replaces the end of a name too long to take it.
        const std::string suffix = " " + std::to_string(number);
        const std::size_t kept =
            std::min(std::strlen(base.data()), player_name::kMaxLength - suffix.size());
        name = player_name::cleaned(std::string(base.data(), kept) + suffix, "Player");
    }
    return name;
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
    const bool current = received.match == flow.matchNumber();
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
    if (ready.match == flow.matchNumber()) {
        flow.ready(visitor.seat);
    }
}

void Server::admit(Visitor& visitor, int seat, bool resumed) {
    SeatTable::Seat& taken = seats[seat];
    if (taken.holder >= 0 && taken.holder != static_cast<int>(indexOf(visitor))) {
        // The token's owner is back over a new connection: the old one is dead.
        Visitor& old = visitors[static_cast<std::size_t>(taken.holder)];
        enet_peer_reset(old.peer);
        forget(old);
    }
    const bool wasHeld = taken.held;
    // A spectator given a seat has the arena already.
    const bool hasArena = visitor.stage == Stage::Watching;
    visitor.stage = Stage::Joined;
    visitor.seat = seat;
    visitor.since = now();
    visitor.commands.reset(clock);
    taken.holder = static_cast<int>(indexOf(visitor));
    taken.held = false;
    taken.token = handshake::freshToken();
    // An address with a seat has proven itself, with a password or without.
    gate.trust(visitor.peer->address.host, now());
    protocol::Admitted admitted;
    admitted.seat = static_cast<std::int8_t>(seat);
    admitted.tick = clock;
    admitted.resumed = resumed;
    admitted.token = taken.token;
    admitted.arena = arenaHash;
    if (!hasArena) {
        sendArena(visitor);
    }
    queue(visitor, admitted);
    if (resumed) {
        line("Player back in seat " + seatName(seat));
        if (wasHeld) {
            flow.setAway(seat, false);
        }
    } else {
        line("Player joined seat " + seatName(seat));
    }
    sendStatus();
    guardOf(visitor).link.flush(visitor.peer);
}

void Server::watch(Visitor& visitor, const protocol::Join& join) {
    visitor.stage = Stage::Watching;
    visitor.name = player_name::cleaned(join.name, "Player");
    visitor.watchOnly = join.watch;
    visitor.since = now();
    visitor.watchingSince = ++watchersCame;
    gate.trust(visitor.peer->address.host, now());
    protocol::Admitted admitted;
    admitted.seat = protocol::kWaiting;
    admitted.tick = clock;
    admitted.arena = arenaHash;
    sendArena(visitor);
    queue(visitor, admitted);
    line(join.watch ? "Spectator joined" : "Spectator joined: every seat is taken");
    sendStatus();
    guardOf(visitor).link.flush(visitor.peer);
}

void Server::seatSpectators() {
    for (int seat = seats.free(); seat >= 0 && waiting(); seat = seats.free()) {
        Visitor* first = nullptr;
        for (Visitor& visitor : visitors) {
            if (visitor.stage == Stage::Watching && !visitor.watchOnly &&
                (first == nullptr || visitor.watchingSince < first->watchingSince)) {
                first = &visitor;
            }
        }
        flow.seatPerson(seat, uniqueName(first->name.data(), seat).data());
        admit(*first, seat, false);
    }
}

void Server::sendArena(Visitor& visitor) {
    const std::string& file = options.arenaFile;
    arenaPart.hash = arenaHash;
    arenaPart.total = static_cast<std::uint32_t>(file.size());
    for (std::size_t at = 0; at < file.size(); at += protocol::kArenaPartBytes) {
        const std::size_t length = std::min(protocol::kArenaPartBytes, file.size() - at);
        arenaPart.offset = static_cast<std::uint32_t>(at);
        arenaPart.bytes.assign(file.begin() + static_cast<std::ptrdiff_t>(at),
                               file.begin() + static_cast<std::ptrdiff_t>(at + length));
        queue(visitor, arenaPart);
        guardOf(visitor).link.flush(visitor.peer);
    }
}

void Server::refuse(Visitor& visitor, protocol::Refusal reason) {
    protocol::Refused refused;
    refused.reason = reason;
    PeerGuard& guard = guardOf(visitor);
    if (guard.keyed()) {
        queue(visitor, refused);
        guard.link.flush(visitor.peer, true);
    } else {
        sendPlain(visitor, refused);
    }
    enet_peer_disconnect_later(visitor.peer, 0);
    visitor.stage = Stage::Leaving;
    visitor.since = now();
    ++counted.refused;
}

void Server::release(Visitor& visitor) {
    const bool seated = visitor.stage == Stage::Joined &&
                        seats[visitor.seat].holder == static_cast<int>(indexOf(visitor));
    if (seated) {
        seats[visitor.seat].holder = -1;
        giveUpSeat(visitor.seat);
    } else if (visitor.stage == Stage::Watching) {
        line("Spectator left");
    }
    // It disconnects itself; one that does not is swept away.
    visitor.stage = visitor.stage == Stage::Free ? Stage::Free : Stage::Leaving;
    visitor.since = now();
}

void Server::forget(Visitor& visitor) {
    seats.letGo(static_cast<int>(indexOf(visitor)));
    gate.guard(indexOf(visitor)).reset();
    visitor = Visitor();
}

void Server::holdSeat(int seat, double lastHeard) {
    SeatTable::Seat& held = seats[seat];
    if (held.held) {
        return;
    }
    held.held = true;
    held.heldUntil = std::max(lastHeard, 0.0) + kSeatHeldSeconds;
    flow.setAway(seat, true);
    line("Player lost the link in seat " + seatName(seat) +
         ": the computer drives until it is back");
    sendStatus();
}

void Server::giveUpSeat(int seat) {
    SeatTable::Seat& given = seats[seat];
    if (given.holder >= 0) {
        Visitor& holder = visitors[static_cast<std::size_t>(given.holder)];
        enet_peer_reset(holder.peer);
        forget(holder);
    }
    given = SeatTable::Seat();
    flow.unseat(seat);
    line("Player left seat " + seatName(seat) + ": the computer takes over");
    sendStatus();
}

void Server::onDisconnect(Visitor& visitor) {
    if (visitor.stage == Stage::Joined) {
        const int seat = visitor.seat;
        const bool farewell = guardOf(visitor).farewellHeard();
        seats[seat].holder = -1;
        if (farewell) {
            giveUpSeat(seat);
        } else {
            holdSeat(seat, guardOf(visitor).lastHeard());
        }
    } else if (visitor.stage == Stage::Watching) {
        line("Spectator left");
    }
    forget(visitor);
}

void Server::measureQueues(std::size_t index, ENetPeer& peer) {
    const std::size_t commands = queuedCommands(peer);
    const bool player = gate.guard(index).keyed();
    std::size_t& mostCommands = player ? counted.playerCommandsMost : counted.strangerCommandsMost;
    std::size_t& mostBytes = player ? counted.playerBytesMost : counted.strangerBytesMost;
    mostCommands = std::max(mostCommands, commands);
    mostBytes = std::max(mostBytes, peer.totalWaitingData);
}

void Server::sweep() {
    const double time = now();
    peerSweep.sweep(*host.get(), time,
                    [this](std::size_t index) { onDisconnect(visitors[index]); });
    for (std::size_t index = 0; index < visitors.size(); ++index) {
        Visitor& visitor = visitors[index];
        ENetPeer& peer = host.get()->peers[index];
        if (peer.state == ENET_PEER_STATE_DISCONNECTED) {
            continue;
        }
        measureQueues(index, peer);
        const double waited = time - visitor.since;
        const std::size_t queued = queuedCommands(peer);
        const bool tooMuch =
            gate.guard(index).keyed()
                ? queued > kMostQueuedCommands
                : queued > kMostStrangerCommands || peer.totalWaitingData > kMostStrangerBytes;
        const bool tooLong = (visitor.stage == Stage::Connected && waited > kHelloSeconds) ||
                             (visitor.stage == Stage::Challenged && waited > kAnswerSeconds) ||
                             (visitor.stage == Stage::Keyed && waited > kJoinSeconds) ||
                             (visitor.stage == Stage::Leaving && waited > kRefusedSeconds) ||
                             tooMuch;
        if (tooLong) {
            if (visitor.stage == Stage::Joined) {
                ++counted.malformed;
                release(visitor);
            }
            forget(visitor);
            enet_peer_reset(&peer);
            continue;
        }
        const bool silent = time - guardOf(visitor).lastHeard() > kLinkLostSeconds;
        if (visitor.stage == Stage::Watching && silent) {
            // Nothing is kept for a spectator: it joins anew.
            line("Spectator left");
            forget(visitor);
            enet_peer_reset(&peer);
            continue;
        }
        if (visitor.stage != Stage::Joined) {
            continue;
        }
        SeatTable::Seat& seat = seats[visitor.seat];
        if (silent && !seat.held) {
            holdSeat(visitor.seat, guardOf(visitor).lastHeard());
        } else if (!silent && seat.held && seat.holder == static_cast<int>(index)) {
            // The link came back before a new connection did.
            seat.held = false;
            flow.setAway(visitor.seat, false);
            visitor.commands.reset(clock);
            line("Player back in seat " + seatName(visitor.seat));
            sendStatus();
        }
    }
    for (int seat = 0; seat < flow.seatCount(); ++seat) {
        if (seats[seat].held && time > seats[seat].heldUntil) {
            giveUpSeat(seat);
        }
    }
}

void Server::tick() {
    ++clock;
    ++counted.ticks;
    tickTime = now();
    if (host.ok()) {
        sweep();
    }
    gate.discovery.about.persons = flow.people();

    events.clear();
    const bool wasPlaying = flow.playing();
    const std::uint16_t matchBefore = flow.matchNumber();
    const Phase phaseBefore = flow.phase();
    flow.beginTick(events);
    SeatCommands commands{};
    for (int seat = 0; seat < flow.seatCount(); ++seat) {
        if (seats[seat].holder < 0) {
            continue;
        }
        Visitor& visitor = visitors[static_cast<std::size_t>(seats[seat].holder)];
        const bool arrived = visitor.commands.take(commands[seat]);
        if (!arrived && wasPlaying && flow.match.seat(seat).driver == Driver::Human) {
            ++counted.repeatedCommands;
        }
    }
    // The tick a match starts in stands at its start: the clients hear of it first.
    if (wasPlaying || !flow.playing()) {
        flow.step(commands, events);
    }
    sendEvents(events);
    const bool scored = std::any_of(events.begin(), events.end(), [](const GameEvent& event) {
        return event.type == GameEventType::Destroyed;
    });
    if (scored || flow.matchNumber() != matchBefore || flow.phase() != phaseBefore) {
        sendStatus();
    }
    // After the end's status: the match ended between the seats' holders as it was played.
    if (!flow.playing()) {
        seatSpectators();
    }
    if (observer != nullptr) {
        observer->ticked(clock, flow.match, commands);
    }
    if (clock % kSnapshotTicks == 0) {
        sendSnapshots();
    }
    if (host.ok()) {
        enet_host_flush(host.get());
    }
}

void Server::sendEvents(const EventList& tickEvents) {
    outgoing.match = flow.matchNumber();
    outgoing.tick = clock;
    outgoing.events.clear();
    const auto flush = [this] {
        if (outgoing.events.empty()) {
            return;
        }
        for (Visitor& visitor : visitors) {
            if (told(visitor)) {
                queue(visitor, outgoing);
            }
        }
        outgoing.events.clear();
    };
    const Match& game = flow.match;
    const std::vector<Bullet>& bullets = game.state.bullets.bullets;
    for (const GameEvent& event : tickEvents) {
        protocol::WireEvent wire;
        wire.type = event.type;
        wire.seat = static_cast<std::int8_t>(event.seat);
        wire.position = event.position;
        if (event.type == GameEventType::Announce) {
            line(event.text);
        }
        if (!protocol::sentAsEvent(event.type)) {
            continue;
        }
        if (event.type == GameEventType::Destroyed) {
            wire.owner = static_cast<std::int8_t>(event.other);
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
    const Match& game = flow.match;
    protocol::Status status;
    status.match = flow.matchNumber();
    status.phase = flow.phase();
    status.tick = flow.phaseTick();
    status.setup = options.setup();
    status.setup.rules = game.state.rules;
    status.outcome = flow.phase() == Phase::Ended ? flow.lastOutcome() : Outcome();
    for (int seat = 0; seat < flow.seatCount(); ++seat) {
        protocol::SeatStatus& told = status.seats[static_cast<std::size_t>(seat)];
        const Seat& sitting = game.seat(seat);
        told.lives = static_cast<std::int8_t>(std::clamp(sitting.tank.lives, 0, 127));
        told.team = static_cast<std::int8_t>(sitting.team);
        told.frags = static_cast<std::int16_t>(std::clamp(sitting.frags, -32767, 32767));
        told.deaths = static_cast<std::uint16_t>(std::clamp(sitting.deaths, 0, 65535));
        told.name = player_name::cleaned(flow.name(seat), "?");
        const int holder = seats[seat].holder;
        told.roundTripMs =
            holder >= 0
                ? static_cast<std::uint16_t>(std::min<std::uint32_t>(
                      visitors[static_cast<std::size_t>(holder)].peer->roundTripTime, 65535))
                : 0;
    }
    for (std::size_t index = 0; index < visitors.size(); ++index) {
        Visitor& visitor = visitors[index];
        if (!told(visitor)) {
            continue;
        }
        for (int seat = 0; seat < flow.seatCount(); ++seat) {
            const SeatTable::Seat& held = seats[seat];
            status.seats[static_cast<std::size_t>(seat)].occupant =
                held.holder == static_cast<int>(index) ? protocol::Occupant::You
                : held.holder >= 0 || held.held        ? protocol::Occupant::Person
                                                       : protocol::Occupant::Computer;
        }
        const bool seated = visitor.stage == Stage::Joined;
        const bool drives = seated && game.seat(visitor.seat).driver == Driver::Human;
        status.yourSeat = static_cast<std::int8_t>(
            seated && (!flow.playing() || drives) ? visitor.seat : protocol::kWaiting);
        queue(visitor, status);
    }
}

void Server::sendSnapshots() {
    const Match& game = flow.match;
    protocol::Snapshot snapshot;
    snapshot.match = flow.matchNumber();
    snapshot.tick = clock;
    snapshot.phase = flow.phase();
    snapshot.seatCount = static_cast<std::uint8_t>(flow.seatCount());
    for (int seat = 0; seat < flow.seatCount(); ++seat) {
        snapshot.tanks[static_cast<std::size_t>(seat)] = protocol::viewOf(game.tank(seat));
    }
    for (Visitor& visitor : visitors) {
        if (!told(visitor)) {
            continue;
        }
        const bool seated = visitor.stage == Stage::Joined;
        // A spectator sends no commands: the server's own time stands for their ack.
        snapshot.ack = seated ? visitor.commands.newest() : clock;
        snapshot.lead =
            visitor.leadTaken
                ? protocol::kNoLead
                : static_cast<std::int16_t>(
                      std::clamp(std::lround(visitor.lead * protocol::kLeadUnit), -32767L, 32767L));
        visitor.leadTaken = true;
        snapshot.hasOwn = seated && clock % kOwnTankTicks == 0 && flow.playing() &&
                          game.seat(visitor.seat).driver == Driver::Human;
        snapshot.ownSeat = static_cast<std::int8_t>(seated ? visitor.seat : 0);
        if (snapshot.hasOwn) {
            snapshot.own = game.tank(visitor.seat);
        }
        PeerGuard& guard = guardOf(visitor);
        guard.link.flush(visitor.peer);
        bytes.clear();
        protocol::encode(snapshot, bytes);
        guard.link.sendAlone(visitor.peer, protocol::kSnapshots, NetHost::Delivery::Unreliable,
                             bytes);
    }
}
