#pragma once

#include "game/Arena.h"
#include "game/CollisionDetector.h"
#include "game/GameEvent.h"
#include "game/MatchState.h"
#include "game/TankCommand.h"
#include "platform/FixedStep.h"

#include <array>
#include <cstdint>

// The command of every seat for one tick; a computer seat's is made by its controller.
using SeatCommands = std::array<TankCommand, kSeatCount>;

// How a match stands: running while both tanks have lives left, else won by a seat or drawn.
enum class Outcome : std::uint8_t { Running, FirstSeatWon, SecondSeatWon, Draw };
// The seat that won, or kNoSeat while running or after a draw.
constexpr int winnerOf(Outcome outcome) {
    return outcome == Outcome::FirstSeatWon ? 0 : outcome == Outcome::SecondSeatWon ? 1 : kNoSeat;
}

// One match on the arena, stepped one tick at a time from one command per seat: the rules and
// nothing else. It reads no file and draws nothing; its state is a plain value that can be
// copied, compared and restored, and the same state given the same commands steps the same,
// bit for bit.
//
// Both seats go through the same code in the same order. A tick: every computer seat's
// controller reads the state and makes its command; the bullets fly; each seat in turn aims
// its turret, works its engine, turns, moves (and jumps), then fires; the collisions; the
// jumps and landings reported.
class Match {
public:
    // Bumped whenever a change of the rules changes what a tick does.
    static constexpr std::uint32_t kRulesVersion = 2;
    static constexpr float kTickSeconds = static_cast<float>(FixedStep::kStepSeconds);
    // The limits the rules put on what a driver may ask. A person: the keys' powers, the
    // engine at most a full request either way, turning at most 100 degrees per second, the
    // turret turned towards its aim by at most 100 degrees per second. The computer: the
    // engine up to 0.215 a tick backward or forward, the same turn, the turret straight at its
    // aim.
    static constexpr std::int16_t kPersonDrive = TankCommand::kFullDrive;
    static constexpr std::int16_t kComputerDrive = 215;
    static constexpr std::int16_t kMaxTurn = 10000; // hundredths of a degree per second
    static constexpr float kPersonAimDegreesPerSecond = 100.0f;
    // Duel rules: the reload after a shot, the pace the computer has always fired at; the
    // grace after a hit that cost a life.
    static constexpr int kReloadTicks = 102; // 1.7 s
    static constexpr int kGraceTicks = 90;   // 1.5 s

    // The standard arena, the first seat driven by drivers[0] and so on. aiSeed seeds the
    // second seat's controller, as the game has always seeded its opponent; the first seat's
    // draws from another stream of the same seed.
    explicit Match(std::uint64_t aiSeed,
                   std::array<Driver, kSeatCount> drivers = {Driver::Human, Driver::Computer});
    // The same on another arena.
    Match(std::uint64_t aiSeed, std::array<Driver, kSeatCount> drivers, Arena arena);
    Match(const Match&) = delete;
    Match& operator=(const Match&) = delete;

    // One tick. commands[seat] is taken for each seat a person drives, within the limits.
    // What happened is appended to events.
    void step(const SeatCommands& commands, EventList& events);
    // One tick of the seat's tank alone, as step moves it while the other tank is out of its
    // way: its command within the limits, its move against the arena, its jump and landing
    // reported. The other tank, the controllers and the bullets in flight stand still; a shot
    // is added to the bullets, fresh, with no event yet. For a client that predicts its own
    // tank from its commands.
    void stepAlone(int seat, const TankCommand& command, EventList& events);
    // Both tanks back at their start with full lives, no bullets, guns loaded. Speeds, jumps
    // and the controllers' states carry over.
    void restart();
    // For the ticks in which the match does not run: every pose drawn between ticks becomes
    // the latest, so that the picture of a frozen match stands still whatever the blend.
    void settle();
    // Continues from a state taken from a match on the same arena.
    void restore(const MatchState& saved) { state = saved; }

    Tank& tank(int seat) { return state.tanks[static_cast<std::size_t>(seat)]; }
    const Tank& tank(int seat) const { return state.tanks[static_cast<std::size_t>(seat)]; }
    // Whether the seat's tank has lost its last life.
    bool out(int seat) const { return tank(seat).lives < 1; }
    // Once a tank is out, the other seat has won. When both lose their last lives in one tick,
    // a match between two people is drawn, and a person playing the computer has won.
    Outcome outcome() const;
    // The ticks since the bullet was fired: 0 in its first.
    static std::uint32_t ticksFlown(const Bullet& bullet);

    // A command within the limits for a driver of the given kind.
    static TankCommand limited(TankCommand command, Driver driver);

    Arena arena;
    MatchState state;

private:
    // The seat's tank carries out its command.
    void act(int seat, const TankCommand& command);

    CollisionDetector detector;
    // For stepAlone: each seat's tank against the arena and no bullets.
    BulletSystem noBullets;
    std::array<CollisionDetector, kSeatCount> aloneDetectors;
};
