#include "client/NetworkGame.h"

#include "game/MatchFlow.h"

#include <cstdlib>
#include <limits>
#include <vector>

using protocol::Phase;

NetworkGame::NetworkGame(const NetworkOptions& options, std::ostream& console, std::ostream& errors)
    : console(console), arenas(options.arenas),
      connection(options.host, options.port, options.password, console, errors, options.version,
                 options.name, options.watch) {
    shape.seats = 0; // none yet: the first shape is taken
    takeShape(MatchSetup::duel(Rules::Classic));
}

void NetworkGame::takeShape(const MatchSetup& asked) {
    MatchSetup setup = asked;
    setup.skill = Skill::Classic; // no seat is the computer's here: nothing to navigate
    if (setup == shape) {
        return;
    }
    shape = setup;
    const std::vector<Driver> people(static_cast<std::size_t>(setup.seats), Driver::Human);
    prediction.reshape(setup, people, played);
    others.reshape(setup, people, played);
}

void NetworkGame::tick(const PlayerInput& input, bool keysTaken, EventList& events) {
    prediction.beginTick();
    announced = &events;
    connection.service(*this);
    announced = nullptr;
    if (snapshotWaiting) {
        snapshotWaiting = false;
        takeSnapshot();
    }
    // The seat is known to be one of the match's once a status has shaped it.
    if (!clock.synced() || !joined() || seat >= others.seatCount()) {
        return;
    }
    clock.advance();
    const PlayerInput none;
    const PlayerInput& taken = keysTaken ? none : input;
    if (serverStatus.phase == Phase::Playing) {
        others.moveBullets();
    }
    if (watching()) {
        spectatorTick(taken);
    } else {
        playerTick(taken, events);
    }
    if (serverStatus.phase != Phase::Playing) {
        others.settle();
        return;
    }
    if (drives()) {
        prediction.draw(seat, others.match().tank(seat));
    }
    others.draw(clock.drawnTick(OthersView::kInterpolationTicks), clock.rate(), predictedSeat(),
                serverStatus, events);
}

void NetworkGame::playerTick(const PlayerInput& taken, EventList& events) {
    prediction.command(clock.tick(), taken, seat);
    if (drives()) {
        prediction.step(clock.tick(), seat, events, others.bullets());
    }
    // Commands between matches are for the next one.
    const auto match = serverStatus.phase == Phase::Playing
                           ? serverStatus.match
                           : static_cast<std::uint16_t>(serverStatus.match + 1);
    connection.send(prediction.unacknowledged(clock.tick(), match));
    if (taken.start && !readySent && serverStatus.phase != Phase::Playing) {
        protocol::Ready ready;
        ready.match = serverStatus.match;
        connection.send(ready);
        readySent = true;
    }
}

void NetworkGame::spectatorTick(const PlayerInput& taken) {
    if (watchedSeat.tick(taken.nextTank, others.seatCount())) {
        connection.send(protocol::Watching());
    }
}

bool NetworkGame::onArena(std::uint64_t hash, const std::string& file, std::string& fault) {
    if (hash == playedHash) {
        admittedOnce = true;
        return true;
    }
    if (admittedOnce) {
        fault = "the server now plays another arena";
        return false;
    }
    if (file.empty()) {
        fault = "the server's arena did not come";
        return false;
    }
    if (arenas == nullptr) {
        fault = "this game takes no arena from a server";
        return false;
    }
    std::optional<Arena> received = arenas->read(file, fault);
    if (!received) {
        return false;
    }
    if (received->hash() != hash) {
        fault = "the server's arena is not the one it named";
        return false;
    }
    arenas->keep(hash, file);
    played = std::move(*received);
    playedHash = hash;
    admittedOnce = true;
    console << ("Arena: " + played.byline() + ", from the server\n") << std::flush;
    const MatchSetup setup = shape;
    shape.seats = 0; // made anew on the new arena
    takeShape(setup);
    return true;
}

bool NetworkGame::onAdmitted(const protocol::Admitted& admitted) {
    seat = admitted.seat;
    // Taken back after a lost link, the clock starts again from here too.
    clock.start(admitted.tick, connection.roundTripMs());
    prediction.standAt(clock.tick());
    newestSnapshot = 0;
    snapshotWaiting = false;
    return true;
}

bool NetworkGame::onStatus(const protocol::Status& status) {
    // A phase cannot begin in the future.
    if (static_cast<std::int32_t>(status.tick - clock.tick()) >
        static_cast<std::int32_t>(ClockSync::kSaneTicks)) {
        return false;
    }
    // The seat the client was given is one of the match's.
    if (seat >= status.setup.seats) {
        return false;
    }
    const protocol::Status before = serverStatus;
    serverStatus = status;
    takeShape(status.setup);
    if (status.yourSeat >= 0) {
        seat = status.yourSeat;
    }
    const bool started = status.phase == Phase::Playing &&
                         (before.phase != Phase::Playing || before.match != status.match);
    if (started) {
        restartShown();
        prediction.standAt(status.tick);
        if (drives()) {
            prediction.replayTo(clock.tick(), seat);
        }
        readySent = false;
        if (announced != nullptr) {
            announced->push_back({GameEventType::MatchStart, glm::vec3(0.0f), kNoSeat, ""});
            if (status.setup.mode == Mode::Battle) {
                GameEvent& line = announced->emplace_back();
                line.type = GameEventType::Announce;
                MatchFlow::battleStart(others.match().state, line.text);
            }
        }
    }
    if (status.phase != Phase::Playing && before.phase != status.phase) {
        // What happened in the match's last ticks is shown before its end.
        if (announced != nullptr) {
            others.playDue(std::numeric_limits<float>::max(), predictedSeat(), serverStatus,
                           *announced);
        }
        readySent = false;
        // The commands of the screens between matches are made for a tank at its start.
        prediction.restart();
        others.endScreen(status);
        if (status.phase == Phase::Ended && announced != nullptr &&
            status.setup.mode == Mode::Battle) {
            others.takeScores(status);
            MatchFlow::SeatNames names{};
            for (int each = 0; each < others.seatCount(); ++each) {
                names[static_cast<std::size_t>(each)] = seatName(each);
            }
            GameEvent& line = announced->emplace_back();
            line.type = GameEventType::Announce;
            MatchFlow::battleResult(others.match(), status.outcome, names, line.text);
        }
        // A spectator's match is nobody's to win or lose.
        if (status.phase == Phase::Ended && announced != nullptr && seat >= 0) {
            const bool won = others.match().wonBy(status.outcome, seat);
            announced->push_back({won ? GameEventType::MatchWon : GameEventType::MatchLost,
                                  glm::vec3(0.0f), kNoSeat, ""});
        }
    }
    others.takeScores(status);
    return true;
}

bool NetworkGame::onEvents(const protocol::Events& events) {
    if (!clock.near(events.tick)) {
        return false;
    }
    if (events.match == serverStatus.match) {
        others.hold(events, serverStatus);
    }
    return true;
}

bool NetworkGame::onSnapshot(const protocol::Snapshot& snapshot) {
    const bool sane = clock.near(snapshot.tick) && clock.near(snapshot.ack) &&
                      (snapshot.lead == protocol::kNoLead ||
                       std::abs(static_cast<int>(snapshot.lead)) <=
                           static_cast<int>(ClockSync::kSaneTicks) * protocol::kLeadUnit) &&
                      (!snapshot.hasOwn || snapshot.ownSeat == seat);
    if (!sane) {
        return false;
    }
    if (snapshot.seatCount != others.seatCount()) {
        return true; // of a shape the client has not been told of yet
    }
    // A slow frame takes in several snapshots at once; only the newest is used, but the lead
    // the server reported in any of them counts.
    clock.hear(snapshot.lead);
    if (newestSnapshot != 0 && static_cast<std::int32_t>(snapshot.tick - newestSnapshot) <= 0) {
        return true;
    }
    latest = snapshot;
    newestSnapshot = snapshot.tick;
    snapshotWaiting = true;
    return true;
}

void NetworkGame::takeSnapshot() {
    prediction.acknowledge(latest.ack);
    const std::uint32_t from = clock.tick();
    if (clock.take(latest.tick) > 0) {
        prediction.repeatLast(from, clock.tick());
    }
    if (latest.match != serverStatus.match) {
        return;
    }
    others.remember(latest);
    if (drives() && latest.hasOwn && latest.phase == Phase::Playing) {
        prediction.reconcile(latest.tick, latest.own, clock.tick(), seat);
    }
}

void NetworkGame::restartShown() {
    others.restart();
    prediction.restart();
}

int NetworkGame::seatRoundTripMs(int seat) const {
    if (seat == this->seat) {
        return static_cast<int>(connection.roundTripMs());
    }
    const bool person =
        seat >= 0 && seat < others.seatCount() &&
        serverStatus.seats[static_cast<std::size_t>(seat)].occupant != protocol::Occupant::Computer;
    return person ? serverStatus.seats[static_cast<std::size_t>(seat)].roundTripMs : -1;
}
