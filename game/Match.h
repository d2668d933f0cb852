#pragma once

#include "game/Arena.h"
#include "game/CollisionDetector.h"
#include "game/GameEvent.h"
#include "game/MatchSetup.h"
#include "game/MatchState.h"
#include "game/NavGraph.h"
#include "game/Outcome.h"
#include "game/PathSearch.h"
#include "game/TankCommand.h"
#include "platform/FixedStep.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The command of every seat for one tick, by seat; a computer seat's is made by its controller,
// and the seats past the match's count are not read.
using SeatCommands = std::array<TankCommand, MatchSetup::kMaxSeats>;

// One match on an arena, stepped one tick at a time from one command per seat: the rules and
// nothing else. It reads no file and draws nothing; its state is a plain value that can be
// copied, compared and restored, and the same state given the same commands steps the same,
// bit for bit.
//
// Every seat goes through the same code, and what seats do to each other never depends on their
// numbers: the tanks are compared in the order of where they stand. A tick: in a battle, the
// destroyed tanks whose pause is over come back; every computer seat's controller reads the
// state and makes its command; the bullets fly; each seat in play aims its turret, works its
// engine, turns, moves (and jumps), then fires; the collisions; in a battle, the frags; the
// jumps and landings reported.
class Match {
public:
    // Bumped whenever a change of the rules changes what a tick does.
    static constexpr std::uint32_t kRulesVersion = 4;
    static constexpr float kTickSeconds = static_cast<float>(FixedStep::kStepSeconds);
    static constexpr std::uint32_t kTicksPerSecond = 60;
    // The limits the rules put on what a driver may ask. The keys' powers, a person's and a
    // skilled controller's: the engine at most a full request either way, turning at most 100
    // degrees per second, the turret turned towards its aim by at most 100 degrees per second.
    // The Classic computer's: the engine up to 0.215 a tick backward or forward, the same
    // turn, the turret straight at its aim.
    static constexpr std::int16_t kPersonDrive = TankCommand::kFullDrive;
    static constexpr std::int16_t kComputerDrive = 215;
    static constexpr std::int16_t kMaxTurn = 10000; // hundredths of a degree per second
    static constexpr float kPersonAimDegreesPerSecond = 100.0f;
    // Duel rules: the reload after a shot, the pace the computer has always fired at; the
    // grace after a hit that cost a life.
    static constexpr int kReloadTicks = 102; // 1.7 s
    static constexpr int kGraceTicks = 90;   // 1.5 s
    // A battle: the pause before a destroyed tank comes back, and its shield then, during which
    // it cannot be hit and cannot fire.
    static constexpr int kRespawnTicks = 120; // 2 s
    static constexpr int kShieldTicks = 120;  // 2 s
    // A spawn point is free when no tank in play stands closer to it than this.
    static constexpr float kSpawnClearance = 3.0f; // units

    // A duel on the standard arena under the Classic rules, the first seat driven by
    // drivers[0] and so on. aiSeed seeds the second seat's controller, as the game has always
    // seeded its opponent; the first seat's draws from another stream of the same seed.
    explicit Match(std::uint64_t aiSeed,
                   const std::vector<Driver>& drivers = {Driver::Human, Driver::Computer});
    // A match as setup asks (clamped, with no more seats than the arena has spawn points), each
    // seat at the spawn point of its number, the computer of the setup's skill in each. Seats
    // past drivers are the computer's. Each seat's controllers draw from streams of aiSeed of
    // their own. The navigation graph is built here when a skill needs it.
    // A navigation graph built before for the same arena may be handed in to share.
    Match(const MatchSetup& setup, std::uint64_t aiSeed, const std::vector<Driver>& drivers,
          Arena arena = Arena::standard(), std::shared_ptr<const NavGraph> navigation = nullptr);
    Match(const Match&) = delete;
    Match& operator=(const Match&) = delete;

    // One tick. commands[seat] is taken for each seat a person drives, within the limits.
    // What happened is appended to events.
    void step(const SeatCommands& commands, EventList& events);
    // One tick of the seat's tank alone, as step moves it while the other tanks are out of its
    // way: its command within the limits, its move against the arena, its jump and landing
    // reported. The other tanks, the controllers and the bullets in flight stand still; a shot
    // is added to the bullets, fresh, with no event yet. For a client that predicts its own
    // tank from its commands.
    void stepAlone(int seat, const TankCommand& command, EventList& events);
    // Every tank back at its start with full lives, no bullets, guns loaded; a battle's scores
    // at naught and its clock started. In a duel, speeds, jumps and the controllers' states
    // carry over.
    void restart();
    // For the ticks in which the match does not run: every pose drawn between ticks becomes
    // the latest, so that the picture of a frozen match stands still whatever the blend.
    void settle();
    // Continues from a state taken from a match on the same arena (a way planned past the
    // navigation graph's places is dropped).
    void restore(const MatchState& saved);
    // The computer in the seat becomes one of skill, its controller as the match started it.
    void setSkill(int seat, Skill skill);
    // The navigation graph of the arena, built when a seat's skill first needs it; null before.
    const std::shared_ptr<const NavGraph>& navigation() const { return graph; }

    int seatCount() const { return state.seatCount(); }
    Seat& seat(int seat) { return state.seats[static_cast<std::size_t>(seat)]; }
    const Seat& seat(int seat) const { return state.seats[static_cast<std::size_t>(seat)]; }
    Tank& tank(int seat) { return this->seat(seat).tank; }
    const Tank& tank(int seat) const { return this->seat(seat).tank; }
    // Whether the seat's tank has lost its last life (a duel's; a battle's tanks come back).
    bool out(int seat) const { return state.mode == Mode::Duel && tank(seat).lives < 1; }
    // A duel: once a tank is out, the other seat has won; when both lose their last lives in
    // one tick, a match between two people is drawn, and a person playing the computer has
    // won. A battle: once a tank or a team has the frag limit, or the time is up, the most
    // frags win (a team's are its tanks' together); a tie is a draw.
    Outcome outcome() const;
    // The frags of a team, its tanks' together.
    int teamFrags(int team) const;
    // Whether decided is the seat's win, its own or its team's; false for no seat of the match.
    bool wonBy(const Outcome& decided, int seat) const;
    // The nearest enemy in play, in the ground plane, or kNoSeat: found by where the tanks
    // stand, never by their seats.
    int nearestEnemy(int seat) const;

    // A command within the limits of the powers.
    static TankCommand limited(TankCommand command, Powers powers);

    Arena arena;
    MatchState state;

private:
    // Points the collision detectors at the state's tanks.
    void bind();
    // Builds the navigation graph and its search if a seat's skill needs them and they are not.
    void navigateIfNeeded();
    // The command of the computer in the seat this tick.
    TankCommand computerCommand(int seat, EventList& events);
    // The seat's tank carries out its command.
    void act(int seat, const TankCommand& command);
    // A battle's destroyed tanks whose pause is over come back, in the order of where they
    // stand, each at the free spawn point farthest from its enemies.
    void bringBack(EventList& events);
    int spawnFor(int seat) const;
    Outcome battleOutcome() const;
    // A battle's frags for the hits among events from index first on.
    void scoreHits(EventList& events, std::size_t first);

    CollisionDetector detector;
    std::shared_ptr<const NavGraph> graph;
    std::unique_ptr<PathSearch> search;
    std::uint64_t seed; // the controllers' (setSkill starts one afresh)
    // For stepAlone: each seat's tank against the arena and no bullets.
    BulletSystem noBullets;
    std::vector<CollisionDetector> aloneDetectors;
};
