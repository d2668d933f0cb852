#include "game/Match.h"

#include "game/Angles.h"
#include "game/BodySizes.h"
#include "game/ControllerView.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace {

// The stream of each seat's random source: the second seat's is the one the opponent has
// always drawn from, the first seat's the next; the others follow on from there.
std::uint64_t seatStream(int seat) {
    return seat == 1 ? Random::kDefaultStream
                     : Random::kDefaultStream + static_cast<std::uint64_t>(seat == 0 ? 1 : seat);
}

// A skilled controller's stream: another for each seat, apart from the Classic ones.
constexpr std::uint64_t kSkilledStreams = 0x5b1e5a7c0ffee000ULL;

SkilledController skilledFor(std::uint64_t aiSeed, int seat) {
    return SkilledController(aiSeed, kSkilledStreams + static_cast<std::uint64_t>(seat));
}

std::vector<Seat> startSeats(const MatchSetup& setup, std::uint64_t aiSeed,
                             const std::vector<Driver>& drivers, const Arena& arena) {
    std::vector<Seat> seats;
    seats.reserve(static_cast<std::size_t>(setup.seats));
    for (int i = 0; i < setup.seats; ++i) {
        const SpawnPoint& spawn = arena.spawns[static_cast<std::size_t>(i)];
        const auto index = static_cast<std::size_t>(i);
        seats.push_back({index < drivers.size() ? drivers[index] : Driver::Computer,
                         Tank(kHullBounds, spawn.position, spawn.heading),
                         AiController(aiSeed, seatStream(i)), setup.teams ? i % 2 : 0, 0, 0,
                         setup.skill, skilledFor(aiSeed, i)});
        if (setup.mode == Mode::Battle) {
            // As a battle's restart places them: standing on the ground at once.
            seats.back().tank.placeAt(spawn.position, spawn.heading, spawn.floor);
        }
    }
    return seats;
}

MatchSetup fitted(const MatchSetup& asked, const Arena& arena) {
    MatchSetup setup = asked.clamped();
    setup.seats = std::min(setup.seats, static_cast<int>(arena.spawns.size()));
    return setup;
}

// The counters every tank's tick begins with.
void beginTick(Tank& tank) {
    tank.beginStep();
    tank.reloadTicks = std::max(tank.reloadTicks - 1, 0);
    tank.graceTicks = std::max(tank.graceTicks - 1, 0);
}

void reportJumps(const Tank& tank, int seat, EventList& events) {
    if (tank.tookOff) {
        events.push_back({GameEventType::Jump, tank.position, seat, ""});
    }
    if (tank.landed) {
        events.push_back({GameEventType::Landing, tank.position, seat, ""});
    }
}

// The order tanks are taken in where it matters: by where they stand, never by their seats.
bool standsBefore(const Tank& a, const Tank& b) {
    return std::tie(a.position.x, a.position.z, a.heading, a.turretHeading) <
           std::tie(b.position.x, b.position.z, b.heading, b.turretHeading);
}

float groundDistance(glm::vec3 a, glm::vec3 b) {
    return glm::length(glm::vec2(a.x - b.x, a.z - b.z));
}

} // namespace

Match::Match(std::uint64_t aiSeed, const std::vector<Driver>& drivers)
    : Match(MatchSetup::duel(), aiSeed, drivers) {}

Match::Match(const MatchSetup& asked, std::uint64_t aiSeed, const std::vector<Driver>& drivers,
             Arena built, std::shared_ptr<const NavGraph> navigation)
    : arena(std::move(built)), state(), detector({}, arena.pieces, state.bullets),
      graph(std::move(navigation)), seed(aiSeed), noBullets(kBulletBounds) {
    const MatchSetup setup = fitted(asked, arena);
    state.rules = setup.rules;
    state.mode = setup.mode;
    state.teams = setup.teams;
    state.fragLimit = setup.mode == Mode::Battle ? setup.fragLimit : 0;
    state.timeLimitTicks =
        setup.mode == Mode::Battle
            ? static_cast<std::uint32_t>(setup.timeLimitSeconds) * kTicksPerSecond
            : 0;
    state.endTick = state.timeLimitTicks;
    state.seats = startSeats(setup, aiSeed, drivers, arena);
    // Room for the shots of a match, made once: firing does not allocate.
    state.bullets.bullets.reserve(BulletSystem::kReserved);
    bind();
    navigateIfNeeded();
}

void Match::navigateIfNeeded() {
    if (search != nullptr) {
        return;
    }
    for (const Seat& each : state.seats) {
        if (each.skill != Skill::Classic) {
            if (graph == nullptr) {
                graph = std::make_shared<const NavGraph>(arena);
            }
            search = std::make_unique<PathSearch>(*graph);
            return;
        }
    }
}

void Match::setSkill(int seat, Skill skill) {
    Seat& at = this->seat(seat);
    at.skill = skill;
    at.skilled = skilledFor(seed, seat);
    navigateIfNeeded();
}

void Match::bind() {
    const std::size_t count = state.seats.size();
    detector.tanks.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        detector.tanks[i] = &state.seats[i].tank;
    }
    detector.fitTo(count);
    if (aloneDetectors.size() != count) {
        aloneDetectors.clear();
        aloneDetectors.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            aloneDetectors.emplace_back(std::vector<Tank*>{nullptr}, arena.pieces, noBullets);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        aloneDetectors[i].tanks[0] = &state.seats[i].tank;
    }
}

void Match::restore(const MatchState& saved) {
    state = saved;
    bind();
    navigateIfNeeded();
    const int places = graph != nullptr ? graph->size() : 0;
    for (Seat& each : state.seats) {
        PathFollower& follower = each.skilled.follower;
        bool known = follower.goal >= NavGraph::kNoNode && follower.goal < places;
        for (int i = 0; i < follower.path.count && known; ++i) {
            known = follower.path.at(i) >= 0 && follower.path.at(i) < places;
        }
        if (!known) {
            follower.stop();
        }
    }
}

TankCommand Match::limited(TankCommand command, Powers powers) {
    const std::int16_t drive = powers == Powers::Classic ? kComputerDrive : kPersonDrive;
    command.drive = std::clamp(command.drive, static_cast<std::int16_t>(-drive), drive);
    command.turn = std::clamp(command.turn, static_cast<std::int16_t>(-kMaxTurn), kMaxTurn);
    return command;
}

void Match::step(const SeatCommands& commands, EventList& events) {
    ++state.tick;
    const int count = seatCount();
    for (Seat& each : state.seats) {
        beginTick(each.tank);
    }
    const bool battle = state.mode == Mode::Battle;
    if (battle) {
        bringBack(events);
    }
    detector.graceAfterHit = !battle && state.rules == Rules::Duel ? kGraceTicks : 0;
    detector.destroyOnHit = battle ? kRespawnTicks : 0;
    SeatCommands taken = commands;
    for (int each = 0; each < count; ++each) {
        Seat& at = seat(each);
        if (at.driver == Driver::Computer && at.tank.inPlay()) {
            taken[static_cast<std::size_t>(each)] = computerCommand(each, events);
        }
    }
    state.bullets.updateAll(kTickSeconds);
    for (int each = 0; each < count; ++each) {
        if (tank(each).inPlay()) {
            act(each, limited(taken[static_cast<std::size_t>(each)], seat(each).powers()));
        }
    }
    const std::size_t firstEvent = events.size();
    detector.detect(events);
    if (battle) {
        scoreHits(events, firstEvent);
    }
    for (int each = 0; each < count; ++each) {
        reportJumps(tank(each), each, events);
    }
}

TankCommand Match::computerCommand(int each, EventList& events) {
    Seat& at = seat(each);
    if (at.skill == Skill::Classic) {
        const int target = nearestEnemy(each);
        return at.controller.command(at.tank, target == kNoSeat ? nullptr : &tank(target), events);
    }
    const ControllerView view{state, arena, *graph, *search, each, skillFigures(at.skill)};
    return at.skilled.command(view);
}

void Match::stepAlone(int seat, const TankCommand& command, EventList& events) {
    ++state.tick;
    Tank& own = tank(seat);
    beginTick(own);
    if (!own.inPlay()) {
        return;
    }
    act(seat, limited(command, this->seat(seat).powers()));
    aloneDetectors[static_cast<std::size_t>(seat)].detect(events);
    reportJumps(own, seat, events);
}

int Match::nearestEnemy(int from) const {
    const Tank& own = tank(from);
    int nearest = kNoSeat;
    float nearestDistance = std::numeric_limits<float>::max();
    for (int other = 0; other < seatCount(); ++other) {
        const Tank& them = tank(other);
        if (!state.enemies(from, other) || !them.inPlay()) {
            continue;
        }
        const float distance = groundDistance(own.position, them.position);
        if (distance < nearestDistance ||
            (distance == nearestDistance && standsBefore(them, tank(nearest)))) {
            nearest = other;
            nearestDistance = distance;
        }
    }
    return nearest;
}

Outcome Match::outcome() const {
    if (state.mode == Mode::Battle) {
        return battleOutcome();
    }
    const bool firstOut = out(0);
    const bool secondOut = out(1);
    const std::vector<Seat>& seats = state.seats;
    if (firstOut && secondOut && seats[0].driver != seats[1].driver) {
        return Outcome::wonBySeat(seats[0].driver == Driver::Human ? 0 : 1);
    }
    if (firstOut && secondOut) {
        return Outcome::draw();
    }
    if (firstOut || secondOut) {
        return Outcome::wonBySeat(firstOut ? 1 : 0);
    }
    return Outcome();
}

int Match::teamFrags(int team) const {
    int frags = 0;
    for (const Seat& each : state.seats) {
        frags += each.team == team ? each.frags : 0;
    }
    return frags;
}

bool Match::wonBy(const Outcome& decided, int seat) const {
    if (decided.kind != Outcome::Kind::Won || seat < 0 || seat >= seatCount()) {
        return false;
    }
    return decided.seat == seat ||
           (decided.team != kNoTeam && decided.team == this->seat(seat).team);
}

Outcome Match::battleOutcome() const {
    // The sides: the two teams, or every tank for itself.
    const int sides = state.teams ? 2 : seatCount();
    const auto fragsOf = [this](int side) {
        return state.teams ? teamFrags(side) : seat(side).frags;
    };
    int best = std::numeric_limits<int>::min();
    int leader = kNoSeat;
    int leaders = 0;
    for (int side = 0; side < sides; ++side) {
        const int frags = fragsOf(side);
        if (frags > best) {
            best = frags;
            leader = side;
            leaders = 1;
        } else if (frags == best) {
            ++leaders;
        }
    }
    const bool timeUp = static_cast<std::int32_t>(state.tick - state.endTick) >= 0;
    if (best < state.fragLimit && !timeUp) {
        return Outcome();
    }
    if (leaders > 1) {
        return Outcome::draw();
    }
    return state.teams ? Outcome::wonByTeam(leader) : Outcome::wonBySeat(leader);
}

void Match::act(int seat, const TankCommand& command) {
    Tank& tank = this->tank(seat);
    if (this->seat(seat).powers() == Powers::Classic) {
        tank.turretHeading = command.aimDegrees();
    } else {
        constexpr float kMaxAimStep = kPersonAimDegreesPerSecond * kTickSeconds;
        tank.turretHeading += std::clamp(
            headingDifference(tank.turretHeading, command.aimDegrees()), -kMaxAimStep, kMaxAimStep);
    }
    tank.accelerate(command.speedChange());
    if (command.turn != 0) {
        tank.turn(command.turnDegreesPerSecond() * kTickSeconds);
    }
    tank.update(kTickSeconds, command.jump);
    const bool reloads = state.rules == Rules::Duel || state.mode == Mode::Battle;
    if (!command.fire) {
        tank.triggerHeld = false;
    } else if (tank.reloadTicks > 0) {
        tank.triggerHeld = true; // a pull while reloading is spent
    } else if (tank.fire(state.bullets, seat, state.tick) && reloads) {
        tank.reloadTicks = kReloadTicks;
    }
}

void Match::bringBack(EventList& events) {
    std::array<int, MatchSetup::kMaxSeats> due{};
    std::size_t count = 0;
    for (int each = 0; each < seatCount(); ++each) {
        Tank& waiting = tank(each);
        if (waiting.respawnTicks > 0 && --waiting.respawnTicks == 0) {
            due[count++] = each;
        }
    }
    // Insertion sort: a handful of seats, and GCC's -O2 warns falsely on std::sort over them.
    for (std::size_t i = 1; i < count; ++i) {
        for (std::size_t j = i; j > 0 && standsBefore(tank(due[j]), tank(due[j - 1])); --j) {
            std::swap(due[j], due[j - 1]);
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const int each = due[i];
        const SpawnPoint& spawn = arena.spawns[static_cast<std::size_t>(spawnFor(each))];
        Tank& back = tank(each);
        back.placeAt(spawn.position, spawn.heading, spawn.floor);
        back.graceTicks = kShieldTicks;
        back.reloadTicks = kShieldTicks;
        events.push_back({GameEventType::Respawn, back.position, each, ""});
    }
}

int Match::spawnFor(int seat) const {
    // The free point farthest from the nearest enemy in play; when none is free, the farthest.
    int best = 0;
    float bestDistance = -1.0f;
    bool bestFree = false;
    for (std::size_t point = 0; point < arena.spawns.size(); ++point) {
        const glm::vec3 place = arena.spawns[point].position;
        float nearestEnemy = std::numeric_limits<float>::max();
        bool free = true;
        for (int other = 0; other < seatCount(); ++other) {
            const Tank& them = tank(other);
            if (other == seat || !them.inPlay()) {
                continue;
            }
            const float distance = groundDistance(place, them.position);
            free = free && distance >= kSpawnClearance;
            if (state.enemies(seat, other)) {
                nearestEnemy = std::min(nearestEnemy, distance);
            }
        }
        if ((free && !bestFree) || (free == bestFree && nearestEnemy > bestDistance)) {
            best = static_cast<int>(point);
            bestDistance = nearestEnemy;
            bestFree = free;
        }
    }
    return best;
}

void Match::scoreHits(EventList& events, std::size_t first) {
    // Every shooter whose bullet struck a tank in this tick scores once for it: +1 for an
    // enemy, −1 for a team mate or itself. The tank dies once.
    std::array<std::uint8_t, MatchSetup::kMaxSeats * MatchSetup::kMaxSeats> scored{};
    std::array<bool, MatchSetup::kMaxSeats> died{};
    const std::size_t end = events.size();
    for (std::size_t i = first; i < end; ++i) {
        const GameEvent hit = events[i];
        if (hit.type != GameEventType::TankHit || hit.bullet == kNoBullet) {
            continue;
        }
        const int shooter = state.bullets.bullets[static_cast<std::size_t>(hit.bullet)].owner;
        const int victim = hit.seat;
        std::uint8_t& pair =
            scored[static_cast<std::size_t>(shooter * MatchSetup::kMaxSeats + victim)];
        if (pair == 0) {
            pair = 1;
            seat(shooter).frags += state.enemies(shooter, victim) ? 1 : -1;
            events.push_back(
                {GameEventType::Destroyed, tank(victim).position, victim, "", kNoBullet, shooter});
        }
        if (!died[static_cast<std::size_t>(victim)]) {
            died[static_cast<std::size_t>(victim)] = true;
            seat(victim).deaths += 1;
        }
    }
}

void Match::restart() {
    state.bullets.clear();
    const bool battle = state.mode == Mode::Battle;
    for (int each = 0; each < seatCount(); ++each) {
        Seat& at = seat(each);
        if (battle) {
            const SpawnPoint& spawn = arena.spawns[static_cast<std::size_t>(each)];
            at.tank.placeAt(spawn.position, spawn.heading, spawn.floor);
            at.frags = 0;
            at.deaths = 0;
        } else {
            at.tank.respawn();
        }
        at.tank.reloadTicks = 0;
        at.tank.graceTicks = 0;
        at.tank.respawnTicks = 0;
    }
    state.endTick = state.tick + state.timeLimitTicks;
}

void Match::settle() {
    for (Seat& each : state.seats) {
        each.tank.settle();
    }
    for (Bullet& bullet : state.bullets.bullets) {
        bullet.settle();
    }
}
