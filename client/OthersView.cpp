#include "client/OthersView.h"

#include "game/Angles.h"
#include "game/MatchFlow.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr float kTick = Match::kTickSeconds;
// The fastest a tank drives, and what the drawing of another tank may move beyond it in a
// tick (the step from one snapshot's path to the next).
constexpr float kTankTopSpeed = 12.0f; // units per second
constexpr float kDrawSlack = 0.03f;    // units

TankPose between(const TankPose& from, const TankPose& to, float share) {
    return {from.position + (to.position - from.position) * share,
            from.heading + headingDifference(from.heading, to.heading) * share,
            from.turretHeading + headingDifference(from.turretHeading, to.turretHeading) * share};
}
} // namespace

OthersView::OthersView() {
    pending.reserve(kMaxPending);
}

void OthersView::reshape(const MatchSetup& setup, const std::vector<Driver>& drivers,
                         const Arena& arena) {
    shown = std::make_unique<Match>(setup, 0, drivers, arena);
    bulletWalls = std::make_unique<CollisionDetector>(std::vector<Tank*>{}, shown->arena.pieces,
                                                      shown->state.bullets);
    restart();
}

void OthersView::restart() {
    shown->restart();
    shown->settle();
    pending.clear();
    for (Views& slot : views) {
        slot.used = false;
    }
    snapOthers = true;
}

void OthersView::endScreen(const protocol::Status& status) {
    shown->settle();
    for (int each = 0; each < shown->seatCount(); ++each) {
        shown->tank(each).lives = status.seats[static_cast<std::size_t>(each)].lives;
    }
}

void OthersView::takeScores(const protocol::Status& status) {
    for (int each = 0; each < shown->seatCount(); ++each) {
        const protocol::SeatStatus& told = status.seats[static_cast<std::size_t>(each)];
        Seat& shownSeat = shown->seat(each);
        shownSeat.team = told.team;
        shownSeat.frags = told.frags;
        shownSeat.deaths = told.deaths;
    }
}

void OthersView::moveBullets() {
    shown->state.bullets.updateAll(kTick);
}

void OthersView::remember(const protocol::Snapshot& snapshot) {
    Views& slot = *std::min_element(views.begin(), views.end(), [](const Views& a, const Views& b) {
        return (a.used ? a.tick : 0u) < (b.used ? b.tick : 0u);
    });
    slot = {snapshot.tick, true, snapshot.tanks};
}

void OthersView::hold(const protocol::Events& events, const protocol::Status& status) {
    for (const protocol::WireEvent& event : events.events) {
        if (pending.size() < kMaxPending) {
            Pending& waiting = pending.emplace_back();
            waiting.match = events.match;
            waiting.tick = events.tick;
            waiting.event = event;
            if (event.type == GameEventType::Destroyed) {
                std::snprintf(waiting.owner.data(), waiting.owner.size(), "%s",
                              seatName(status, event.owner));
                std::snprintf(waiting.seat.data(), waiting.seat.size(), "%s",
                              seatName(status, event.seat));
            }
        }
    }
}

void OthersView::draw(float drawnTick, double rate, int predictedSeat,
                      const protocol::Status& status, EventList& events) {
    // The match's clock as drawn, for a battle's time left: the ticks since it began.
    MatchState& state = shown->state;
    const float sinceStart = std::max(0.0f, drawnTick - static_cast<float>(status.tick));
    state.tick = state.endTick - state.timeLimitTicks + static_cast<std::uint32_t>(sinceStart);
    for (int each = 0; each < shown->seatCount(); ++each) {
        if (each != predictedSeat) {
            place(each, drawnTick, rate);
        }
    }
    snapOthers = false;
    playDue(drawnTick, predictedSeat, status, events);
    bulletWalls->detect(events);
}

void OthersView::place(int seat, float drawnTick, double rate) {
    const Views* below = nullptr;
    const Views* above = nullptr;
    for (const Views& slot : views) {
        if (!slot.used) {
            continue;
        }
        const auto tick = static_cast<float>(slot.tick);
        if (tick <= drawnTick && (below == nullptr || slot.tick > below->tick)) {
            below = &slot;
        }
        if (tick > drawnTick && (above == nullptr || slot.tick < above->tick)) {
            above = &slot;
        }
    }
    if (below == nullptr && above == nullptr) {
        return;
    }
    const Views& held = below != nullptr ? *below : *above;
    const protocol::TankView& seen = held.tanks[static_cast<std::size_t>(seat)];
    TankPose target = seen.pose;
    // A tank destroyed and brought back elsewhere is not driven between the two.
    if (below != nullptr && above != nullptr &&
        above->tanks[static_cast<std::size_t>(seat)].inPlay == seen.inPlay) {
        const float share = (drawnTick - static_cast<float>(below->tick)) /
                            static_cast<float>(above->tick - below->tick);
        target = between(below->tanks[static_cast<std::size_t>(seat)].pose,
                         above->tanks[static_cast<std::size_t>(seat)].pose, share);
    }
    Tank& tank = shown->tank(seat);
    const TankPose before = tank.pose();
    // Brought back: at its spawn point at once.
    const bool snap = snapOthers || (!tank.inPlay() && seen.inPlay);
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
    tank.respawnTicks = seen.inPlay ? 0 : 1; // out of play until a snapshot has it back
    tank.updateTransform();
    tank.previousPose = snap ? tank.pose() : before;
}

void OthersView::playDue(float drawnTick, int predictedSeat, const protocol::Status& status,
                         EventList& events) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        const Pending& waiting = pending[i];
        const bool due = static_cast<float>(waiting.tick) <= drawnTick;
        if (waiting.match != status.match || play(waiting, due, predictedSeat, events)) {
            continue;
        }
        pending[kept++] = waiting;
    }
    pending.resize(kept);
}

bool OthersView::play(const Pending& waiting, bool due, int predictedSeat, EventList& events) {
    const protocol::WireEvent& event = waiting.event;
    const bool predicted = predictedSeat != kNoSeat;
    const bool mine = predicted && event.owner == predictedSeat;
    switch (event.type) {
    case GameEventType::Shot:
        if (mine) {
            // Already shown from the prediction, unless the prediction missed it.
            if (shown->state.bullets.find(predictedSeat, event.firedTick) == nullptr) {
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
        Bullet* bullet = shown->state.bullets.find(event.owner, event.firedTick);
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
        Bullet* bullet = shown->state.bullets.find(event.owner, event.firedTick);
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
        MatchFlow::fragLine(waiting.owner.data(), waiting.seat.data(), line.text);
        return true;
    }
    case GameEventType::Jump:
    case GameEventType::Landing:
        if (predicted && event.seat == predictedSeat) {
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

void OthersView::spawnBullet(const protocol::WireEvent& event) {
    if (shown->state.bullets.bullets.size() >= BulletSystem::kReserved) {
        return;
    }
    shown->state.bullets.spawn(event.direction, event.position, Tank::kBulletSpeed,
                               Tank::kBulletLifetime, event.origin, event.owner, event.firedTick);
}

const char* OthersView::seatName(const protocol::Status& status, int seat) const {
    return seat >= 0 && seat < shown->seatCount()
               ? status.seats[static_cast<std::size_t>(seat)].name.data()
               : "";
}
