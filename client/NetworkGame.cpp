#include "client/NetworkGame.h"

#include "client/PlayerControls.h"
#include "game/Angles.h"

#include <algorithm>
#include <cmath>
#include <limits>

using protocol::Phase;

namespace {
constexpr float kTick = Match::kTickSeconds;
constexpr float kLeadTarget = 0.5f * (NetworkGame::kLeadLow + NetworkGame::kLeadHigh);
constexpr float kBehindSmoothing = 0.05f;
constexpr double kRatePerTick = 0.02; // rate change per tick the lead is off
// A lead this far off moves the clock at once (a stall, the start); the next reports, still
// about the clock before the move, are let pass.
constexpr float kResyncTicks = 8.0f;
constexpr int kResyncHoldTicks = 30;
// The fastest a tank drives, and what the drawing of the other tank may move beyond it in a
// tick (the step from one snapshot's path to the next).
constexpr float kTankTopSpeed = 12.0f; // units per second
constexpr float kDrawSlack = 0.03f;    // units
constexpr std::size_t kMaxPending = 256;
constexpr std::size_t kEventsPerTick = 16;

TankPose between(const TankPose& from, const TankPose& to, float share) {
    return {from.position + (to.position - from.position) * share,
            from.heading + headingDifference(from.heading, to.heading) * share,
            from.turretHeading + headingDifference(from.turretHeading, to.turretHeading) * share};
}
} // namespace

NetworkGame::NetworkGame(const NetworkOptions& options, std::ostream& console, std::ostream& errors)
    : console(console), arenas(options.arenas),
      connection(options.host, options.port, options.password, console, errors, options.version,
                 options.name) {
    replayEvents.reserve(kEventsPerTick);
    outgoing.commands.reserve(protocol::kMaxCommandsPerDatagram);
    pending.reserve(kMaxPending);
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
    predicted = std::make_unique<Match>(setup, 0, people, played);
    view = std::make_unique<Match>(setup, 0, people, played);
    bulletWalls = std::make_unique<CollisionDetector>(std::vector<Tank*>{}, view->arena.pieces,
                                                      view->state.bullets);
    restartShown();
}

void NetworkGame::tick(const PlayerInput& input, bool keysTaken, EventList& events) {
    replayedNow = 0;
    announced = &events;
    connection.service(*this);
    announced = nullptr;
    if (snapshotWaiting) {
        snapshotWaiting = false;
        takeSnapshot();
    }
    // The seat is known to be one of the match's once a status has shaped it.
    if (!synced || !joined() || seat >= view->seatCount()) {
        return;
    }
    ++clock;
    holdResync = std::max(holdResync - 1, 0);
    const PlayerInput none;
    const PlayerInput& taken = keysTaken ? none : input;
    history[clock % kHistory] = PlayerControls::command(taken, predicted->tank(seat), kTick);
    if (serverStatus.phase == Phase::Playing) {
        // As the match moves its bullets: before this tick's shots, which stand in it.
        view->state.bullets.updateAll(kTick);
    }
    if (drives()) {
        predictTo(clock, &events);
    }
    sendCommands();
    if (taken.start && !readySent && serverStatus.phase != Phase::Playing) {
        protocol::Ready ready;
        ready.match = serverStatus.match;
        connection.send(ready);
        readySent = true;
    }
    updateShown(events);
}

bool NetworkGame::near(std::uint32_t tick) const {
    const auto apart = static_cast<std::int32_t>(tick - clock);
    return apart <= static_cast<std::int32_t>(kSaneTicks) &&
           apart >= -static_cast<std::int32_t>(kSaneTicks);
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
    // Ahead by half a round trip, as ENet has it so far, and the lead; the first snapshots
    // set it right. Taken back after a lost link, the clock starts again from here too.
    const auto halfTrip = static_cast<std::uint32_t>(std::lround(
        0.5 * std::min(connection.roundTripMs(), 10000u) / 1000.0 / static_cast<double>(kTick)));
    clock = admitted.tick + halfTrip + static_cast<std::uint32_t>(kLeadTarget);
    predictedTick = clock;
    synced = true;
    leadKnown = false;
    leadsSeen = 0;
    holdResync = 0;
    behind = 0.0f;
    newestSnapshot = 0;
    snapshotWaiting = false;
    heardLead = protocol::kNoLead;
    return true;
}

bool NetworkGame::onStatus(const protocol::Status& status) {
    // A phase cannot begin in the future.
    if (static_cast<std::int32_t>(status.tick - clock) > static_cast<std::int32_t>(kSaneTicks)) {
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
        predictedTick = status.tick;
        if (drives()) {
            predictTo(clock, nullptr);
        }
        readySent = false;
        if (announced != nullptr) {
            announced->push_back({GameEventType::MatchStart, glm::vec3(0.0f), kNoSeat, ""});
            if (status.setup.mode == Mode::Battle) {
                GameEvent& line = announced->emplace_back();
                line.type = GameEventType::Announce;
                MatchFlow::battleStart(view->state, line.text);
            }
        }
    }
    if (status.phase != Phase::Playing && before.phase != status.phase) {
        // What happened in the match's last ticks is shown before its end.
        if (announced != nullptr) {
            playDue(std::numeric_limits<float>::max(), *announced);
        }
        readySent = false;
        // The commands of the screens between matches are made for a tank at its start.
        predicted->restart();
        view->settle();
        for (int each = 0; each < view->seatCount(); ++each) {
            view->tank(each).lives = status.seats[static_cast<std::size_t>(each)].lives;
        }
        if (status.phase == Phase::Ended && announced != nullptr &&
            status.setup.mode == Mode::Battle) {
            applyScores(status);
            MatchFlow::SeatNames names{};
            for (int each = 0; each < view->seatCount(); ++each) {
                names[static_cast<std::size_t>(each)] = seatName(each);
            }
            GameEvent& line = announced->emplace_back();
            line.type = GameEventType::Announce;
            MatchFlow::battleResult(*view, status.outcome, names, line.text);
        }
        if (status.phase == Phase::Ended && announced != nullptr) {
            const bool won = status.outcome.seat == seat;
            announced->push_back({won ? GameEventType::MatchWon : GameEventType::MatchLost,
                                  glm::vec3(0.0f), kNoSeat, ""});
        }
    }
    applyScores(status);
    return true;
}

void NetworkGame::applyScores(const protocol::Status& status) {
    for (int each = 0; each < view->seatCount(); ++each) {
        const protocol::SeatStatus& told = status.seats[static_cast<std::size_t>(each)];
        Seat& shownSeat = view->seat(each);
        shownSeat.team = told.team;
        shownSeat.frags = told.frags;
        shownSeat.deaths = told.deaths;
    }
}

bool NetworkGame::onEvents(const protocol::Events& events) {
    if (!near(events.tick)) {
        return false;
    }
    if (events.match != serverStatus.match) {
        return true;
    }
    for (const protocol::WireEvent& event : events.events) {
        if (pending.size() < kMaxPending) {
            pending.push_back({events.match, events.tick, event});
        }
    }
    return true;
}

bool NetworkGame::onSnapshot(const protocol::Snapshot& snapshot) {
    const bool sane = near(snapshot.tick) && near(snapshot.ack) &&
                      (snapshot.lead == protocol::kNoLead ||
                       std::abs(static_cast<int>(snapshot.lead)) <=
                           static_cast<int>(kSaneTicks) * protocol::kLeadUnit) &&
                      (!snapshot.hasOwn || snapshot.ownSeat == seat);
    if (!sane) {
        return false;
    }
    if (snapshot.seatCount != view->seatCount()) {
        return true; // of a shape the client has not been told of yet
    }
    // A slow frame takes in several snapshots at once; only the newest is used, but the lead
    // the server reported in any of them (in the first after the frame's commands came) counts.
    if (snapshot.lead != protocol::kNoLead) {
        heardLead =
            heardLead == protocol::kNoLead ? snapshot.lead : std::min(heardLead, snapshot.lead);
    }
    if (newestSnapshot != 0 && static_cast<std::int32_t>(snapshot.tick - newestSnapshot) <= 0) {
        return true;
    }
    latest = snapshot;
    newestSnapshot = snapshot.tick;
    snapshotWaiting = true;
    return true;
}

void NetworkGame::takeSnapshot() {
    const protocol::Snapshot& snapshot = latest;
    ack = snapshot.ack;
    const float sinceSnapshot =
        static_cast<float>(static_cast<std::int32_t>(clock - snapshot.tick));
    behind = behind == 0.0f ? sinceSnapshot : behind + kBehindSmoothing * (sinceSnapshot - behind);
    const std::int16_t heard = heardLead;
    heardLead = protocol::kNoLead;
    const float reported = static_cast<float>(heard) / protocol::kLeadUnit;
    if (synced && holdResync == 0 && heard != protocol::kNoLead) {
        recentLeads[leadsSeen++ % recentLeads.size()] = reported;
        leadEstimate = *std::min_element(
            recentLeads.begin(),
            recentLeads.begin() +
                static_cast<std::ptrdiff_t>(std::min<std::size_t>(leadsSeen, recentLeads.size())));
        // The first lead measured sets the clock right unless it is in the window already;
        // after that only a lead far out of it moves the clock at once.
        const float off = std::abs(reported - kLeadTarget);
        const bool first = !leadKnown;
        leadKnown = true;
        if (off > (first ? kLeadTarget - kLeadLow : kResyncTicks)) {
            const auto shift = static_cast<std::int32_t>(std::lround(kLeadTarget - reported));
            const std::uint32_t from = clock;
            clock += static_cast<std::uint32_t>(shift);
            // The ticks jumped over repeat the last command, as the server does.
            for (std::uint32_t t = from + 1; shift > 0 && t <= clock; ++t) {
                history[t % kHistory] = history[from % kHistory];
            }
            behind += static_cast<float>(shift);
            leadEstimate = kLeadTarget;
            leadsSeen = 0;
            holdResync = kResyncHoldTicks;
        }
    }
    rate = 1.0 + std::clamp(kRatePerTick * static_cast<double>(kLeadTarget - leadEstimate),
                            -kMaxRateChange, kMaxRateChange);
    if (snapshot.match != serverStatus.match) {
        return;
    }
    Views& slot = *std::min_element(views.begin(), views.end(), [](const Views& a, const Views& b) {
        return (a.used ? a.tick : 0u) < (b.used ? b.tick : 0u);
    });
    slot = {snapshot.tick, true, snapshot.tanks};
    if (drives() && snapshot.hasOwn && snapshot.phase == Phase::Playing) {
        reconcile(snapshot);
    }
}

void NetworkGame::reconcile(const protocol::Snapshot& snapshot) {
    const std::uint32_t from = predictedTick;
    const glm::vec3 before = predicted->tank(seat).position;
    predicted->tank(seat) = snapshot.own;
    predicted->state.bullets.clear();
    predictedTick = snapshot.tick;
    predictTo(clock, nullptr);
    if (predictedTick != from) {
        correction = glm::vec3(0.0f); // the clock moved: nothing to blend from
        return;
    }
    const glm::vec3 error = before - predicted->tank(seat).position;
    if (error == glm::vec3(0.0f)) {
        return;
    }
    correction += error;
    correctionLeft = kCorrectionTicks;
    if (glm::length(correction) >= kSnapUnits) {
        correction = glm::vec3(0.0f);
        correctionLeft = 0;
    }
}

void NetworkGame::predictTo(std::uint32_t tick, EventList* events) {
    // A tick replays at most the commands kept; ticks past them are skipped, the tank
    // standing through them.
    const std::uint32_t budget = kHistory - std::min(replayedNow, kHistory);
    if (static_cast<std::int32_t>(tick - predictedTick) > static_cast<std::int32_t>(budget)) {
        predictedTick = tick - budget;
    }
    while (static_cast<std::int32_t>(tick - predictedTick) > 0) {
        ++replayedNow;
        replayedMost = std::max(replayedMost, replayedNow);
        ++predictedTick;
        predicted->stepAlone(seat, history[predictedTick % kHistory],
                             events != nullptr ? *events : replayEvents);
        replayEvents.clear();
        std::vector<Bullet>& fired = predicted->state.bullets.bullets;
        if (events != nullptr) {
            for (Bullet& bullet : fired) {
                // Named as the server names it: its owner and the server's tick.
                bullet.firedTick = predictedTick;
                if (view->state.bullets.bullets.size() < BulletSystem::kReserved) {
                    view->state.bullets.bullets.push_back(bullet);
                }
            }
        }
        fired.clear();
    }
}

void NetworkGame::sendCommands() {
    const std::uint32_t oldest =
        clock - static_cast<std::uint32_t>(protocol::kMaxCommandsPerDatagram - 1);
    std::uint32_t first = std::max(ack + 1, clock >= oldest ? oldest : 0u);
    if (static_cast<std::int32_t>(first - clock) > 0) {
        first = clock;
    }
    outgoing.match = serverStatus.phase == Phase::Playing
                         ? serverStatus.match
                         : static_cast<std::uint16_t>(serverStatus.match + 1);
    outgoing.firstTick = first;
    outgoing.commands.clear();
    for (std::uint32_t t = first; static_cast<std::int32_t>(clock - t) >= 0; ++t) {
        outgoing.commands.push_back(history[t % kHistory]);
    }
    connection.send(outgoing);
}

void NetworkGame::restartShown() {
    view->restart();
    view->settle();
    predicted->restart();
    pending.clear();
    for (Views& slot : views) {
        slot.used = false;
    }
    correction = glm::vec3(0.0f);
    correctionLeft = 0;
    snapOther = true;
}

void NetworkGame::updateShown(EventList& events) {
    if (serverStatus.phase != Phase::Playing) {
        view->settle();
        return;
    }
    const float renderTick =
        static_cast<float>(clock) - behind - static_cast<float>(kInterpolationTicks);
    // The match's clock as drawn, for a battle's time left: the ticks since it began.
    MatchState& shownState = view->state;
    const float sinceStart = std::max(0.0f, renderTick - static_cast<float>(serverStatus.tick));
    shownState.tick =
        shownState.endTick - shownState.timeLimitTicks + static_cast<std::uint32_t>(sinceStart);
    for (int each = 0; each < view->seatCount(); ++each) {
        if (each == seat && drives()) {
            Tank& shownTank = view->tank(each);
            const TankPose before = shownTank.pose();
            shownTank = predicted->tank(each);
            if (correctionLeft > 0) {
                correction -= correction / static_cast<float>(correctionLeft);
                --correctionLeft;
            }
            shownTank.position += correction;
            shownTank.previousPose = before;
        } else {
            placeOther(each, renderTick, snapOther);
        }
    }
    snapOther = false;
    playDue(renderTick, events);
    bulletWalls->detect(events);
}

void NetworkGame::placeOther(int other, float renderTick, bool snap) {
    const Views* below = nullptr;
    const Views* above = nullptr;
    for (const Views& slot : views) {
        if (!slot.used) {
            continue;
        }
        const auto tick = static_cast<float>(slot.tick);
        if (tick <= renderTick && (below == nullptr || slot.tick > below->tick)) {
            below = &slot;
        }
        if (tick > renderTick && (above == nullptr || slot.tick < above->tick)) {
            above = &slot;
        }
    }
    if (below == nullptr && above == nullptr) {
        return;
    }
    const Views& held = below != nullptr ? *below : *above;
    const protocol::TankView& seen = held.tanks[other];
    TankPose target = seen.pose;
    if (below != nullptr && above != nullptr) {
        const float share = (renderTick - static_cast<float>(below->tick)) /
                            static_cast<float>(above->tick - below->tick);
        target = between(below->tanks[other].pose, above->tanks[other].pose, share);
    }
    Tank& tank = view->tank(other);
    const TankPose before = tank.pose();
    if (!snap) {
        // Never faster than a tank drives, in the real time a tick takes at this rate.
        const float most = kTankTopSpeed * kTick / static_cast<float>(rate) + kDrawSlack;
        const glm::vec3 step = target.position - before.position;
        if (glm::length(step) > most) {
            target.position = before.position + step * (most / glm::length(step));
        }
    }
    tank.position = target.position;
    tank.heading = target.heading;
    tank.turretHeading = target.turretHeading;
    tank.lives = seen.lives;
    tank.graceTicks = seen.graceTicks;
    tank.speed = seen.speed;
    tank.updateTransform();
    tank.previousPose = snap ? tank.pose() : before;
}

void NetworkGame::playDue(float renderTick, EventList& events) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        const Pending& waiting = pending[i];
        const bool due = static_cast<float>(waiting.tick) <= renderTick;
        if (waiting.match != serverStatus.match || play(waiting.event, due, events)) {
            continue;
        }
        pending[kept++] = waiting;
    }
    pending.resize(kept);
}

bool NetworkGame::play(const protocol::WireEvent& event, bool due, EventList& events) {
    const bool mine = drives() && event.owner == seat;
    switch (event.type) {
    case GameEventType::Shot:
        if (mine) {
            // Already shown from the prediction, unless the prediction missed it.
            if (view->state.bullets.find(seat, event.firedTick) == nullptr) {
                spawnBullet(event);
            }
            return true;
        }
        if (due) {
            spawnBullet(event);
        }
        return due;
    case GameEventType::TankHit: {
        if (!due) {
            return false;
        }
        events.push_back({GameEventType::TankHit, event.position, event.seat, ""});
        logLine(events, "Bullet Hits TANK");
        Bullet* bullet = view->state.bullets.find(event.owner, event.firedTick);
        if (bullet != nullptr) {
            bullet->dead = true;
        }
        return true;
    }
    case GameEventType::WallHit: {
        if (!mine && !due) {
            return false;
        }
        // Shown already where the drawing's own bullet met the wall, unless it has not.
        Bullet* bullet = view->state.bullets.find(event.owner, event.firedTick);
        if (bullet != nullptr && !bullet->dead) {
            bullet->dead = true;
            events.push_back({GameEventType::WallHit, event.position, kNoSeat, ""});
        }
        return true;
    }
    case GameEventType::Destroyed: {
        if (!due) {
            return false;
        }
        events.push_back(
            {GameEventType::Destroyed, event.position, event.seat, "", kNoBullet, event.owner});
        GameEvent& line = events.emplace_back();
        line.type = GameEventType::Announce;
        MatchFlow::fragLine(seatName(event.owner), seatName(event.seat), line.text);
        return true;
    }
    case GameEventType::Jump:
    case GameEventType::Landing:
        if (drives() && event.seat == seat) {
            return true; // heard from the prediction
        }
        if (due) {
            events.push_back({event.type, event.position, event.seat, ""});
        }
        return due;
    default:
        return true;
    }
}

void NetworkGame::spawnBullet(const protocol::WireEvent& event) {
    if (view->state.bullets.bullets.size() >= BulletSystem::kReserved) {
        return;
    }
    view->state.bullets.spawn(event.direction, event.position, Tank::kBulletSpeed,
                              Tank::kBulletLifetime, event.origin, event.owner, event.firedTick);
}

const char* NetworkGame::seatName(int seat) const {
    return seat >= 0 && seat < view->seatCount()
               ? serverStatus.seats[static_cast<std::size_t>(seat)].name.data()
               : "";
}

int NetworkGame::seatRoundTripMs(int seat) const {
    if (seat == this->seat) {
        return static_cast<int>(connection.roundTripMs());
    }
    const bool person =
        seat >= 0 && seat < view->seatCount() &&
        serverStatus.seats[static_cast<std::size_t>(seat)].occupant != protocol::Occupant::Computer;
    return person ? serverStatus.seats[static_cast<std::size_t>(seat)].roundTripMs : -1;
}
