#include "game/Match.h"

#include "game/Angles.h"
#include "game/BodySizes.h"

#include <algorithm>
#include <cmath>

namespace {

struct TankStart {
    glm::vec3 position;
    float heading; // degrees
};
// The player's tank first, then the computer's, facing each other.
constexpr TankStart kStarts[kSeatCount] = {{{0.0f, 0.05f, 5.0f}, 0.0f},
                                           {{0.0f, 0.05f, -5.0f}, 180.0f}};
// The streams of the two seats' random sources: the second is the one the opponent has always
// drawn from.
constexpr std::uint64_t kSeatStreams[kSeatCount] = {Random::kDefaultStream + 1,
                                                    Random::kDefaultStream};

Arena standardArena() {
    Arena arena(kBoxBounds);
    arena.build();
    return arena;
}

MatchState startState(std::uint64_t aiSeed, const std::array<Driver, kSeatCount>& drivers) {
    return MatchState(
        {Tank(kHullBounds, kStarts[0].position, kStarts[0].heading),
         Tank(kHullBounds, kStarts[1].position, kStarts[1].heading)},
        BulletSystem(kBulletBounds), drivers,
        {AiController(aiSeed, kSeatStreams[0]), AiController(aiSeed, kSeatStreams[1])});
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

} // namespace

Match::Match(std::uint64_t aiSeed, std::array<Driver, kSeatCount> drivers)
    : Match(aiSeed, drivers, standardArena()) {}

Match::Match(std::uint64_t aiSeed, std::array<Driver, kSeatCount> drivers, Arena arena)
    : arena(std::move(arena)), state(startState(aiSeed, drivers)),
      detector({&state.tanks[0], &state.tanks[1]}, this->arena.pieces, state.bullets),
      noBullets(kBulletBounds),
      aloneDetectors{CollisionDetector({&state.tanks[0]}, this->arena.pieces, noBullets),
                     CollisionDetector({&state.tanks[1]}, this->arena.pieces, noBullets)} {
    // Room for the shots of a match, made once: firing does not allocate.
    state.bullets.bullets.reserve(BulletSystem::kReserved);
}

TankCommand Match::limited(TankCommand command, Driver driver) {
    const std::int16_t drive = driver == Driver::Computer ? kComputerDrive : kPersonDrive;
    command.drive = std::clamp(command.drive, static_cast<std::int16_t>(-drive), drive);
    command.turn = std::clamp(command.turn, static_cast<std::int16_t>(-kMaxTurn), kMaxTurn);
    return command;
}

void Match::step(const SeatCommands& commands, EventList& events) {
    ++state.tick;
    for (Tank& tank : state.tanks) {
        beginTick(tank);
    }
    detector.graceAfterHit = state.rules == Rules::Duel ? kGraceTicks : 0;
    SeatCommands taken = commands;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        if (state.drivers[seat] == Driver::Computer) {
            taken[seat] = state.controllers[seat].command(tank(seat), tank(1 - seat), events);
        }
    }
    state.bullets.updateAll(kTickSeconds);
    for (int seat = 0; seat < kSeatCount; ++seat) {
        act(seat, limited(taken[seat], state.drivers[seat]));
    }
    detector.detect(events);
    for (int seat = 0; seat < kSeatCount; ++seat) {
        reportJumps(tank(seat), seat, events);
    }
}

void Match::stepAlone(int seat, const TankCommand& command, EventList& events) {
    ++state.tick;
    beginTick(tank(seat));
    act(seat, limited(command, state.drivers[seat]));
    aloneDetectors[seat].detect(events);
    reportJumps(tank(seat), seat, events);
}

Outcome Match::outcome() const {
    const bool firstOut = out(0);
    const bool secondOut = out(1);
    if (firstOut && secondOut && state.drivers[0] != state.drivers[1]) {
        return state.drivers[0] == Driver::Human ? Outcome::FirstSeatWon : Outcome::SecondSeatWon;
    }
    if (firstOut && secondOut) {
        return Outcome::Draw;
    }
    if (firstOut || secondOut) {
        return firstOut ? Outcome::SecondSeatWon : Outcome::FirstSeatWon;
    }
    return Outcome::Running;
}

std::uint32_t Match::ticksFlown(const Bullet& bullet) {
    // A bullet does not fly in the tick it is fired; it ages one tick in each one after.
    return static_cast<std::uint32_t>(std::lround(bullet.age / kTickSeconds));
}

void Match::act(int seat, const TankCommand& command) {
    Tank& tank = this->tank(seat);
    if (state.drivers[seat] == Driver::Computer) {
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
    if (!command.fire) {
        tank.triggerHeld = false;
    } else if (tank.reloadTicks > 0) {
        tank.triggerHeld = true; // a pull while reloading is spent
    } else if (tank.fire(state.bullets, seat) && state.rules == Rules::Duel) {
        tank.reloadTicks = kReloadTicks;
    }
}

void Match::restart() {
    state.bullets.clear();
    for (Tank& tank : state.tanks) {
        tank.respawn();
        tank.reloadTicks = 0;
        tank.graceTicks = 0;
    }
}

void Match::settle() {
    for (Tank& tank : state.tanks) {
        tank.settle();
    }
    for (Bullet& bullet : state.bullets.bullets) {
        bullet.settle();
    }
}
