#pragma once

#include "game/Arena.h"
#include "game/GameEvent.h"
#include "game/Match.h"
#include "game/MatchSetup.h"
#include "game/Outcome.h"
#include "game/PlayerName.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The screens a game goes through: the title until every person seated is ready, a match, its
// end until every person seated is ready again, and so on.
enum class Phase : std::uint8_t { Title, Playing, Ended };

// The flow of one game's matches, the same for a game against the computer on one machine, a
// server's and the title's backdrop: the phases, the seats and who sits in them, who is ready,
// the start and restart of each match and its outcome. The match's own rules (lives, frags,
// respawns) are the Match's.
//
// Seats: the computer drives every seat no person holds. A person who takes a seat out of a
// match drives it at once; during a match, from the match's end in a duel, and from the seat's
// next respawn in a battle. A person who leaves hands the tank to the computer at once; with
// no person left, the game goes back to its title. A person who is away (a lost link being
// mended) keeps the seat while the computer drives it.
//
// A match starts in the tick in which the last person seated is ready, and plays that tick.
// Lines for every console in a battle: "Battle: N tanks, first to F frags" (", two teams"),
// "NAME destroyed NAME", and "NAME wins with F frags", "TEAM team wins with F frags" or "Draw
// at F frags"; a restart of a duel says "RESTART GAME".
class MatchFlow {
public:
    using Name = player_name::Name;

    struct Occupant {
        bool person = false; // a person holds the seat
        bool away = false;   // the person's link is lost; the computer drives meanwhile
        bool ready = false;  // the person pressed ENTER on this title or end screen
        // Seated during a match, the computer drives until the match's end (a duel) or the
        // seat's next respawn (a battle).
        bool waiting = false;
        Name name{};
    };

    // seed seeds the computer's choices (see Match). Every seat starts as the computer's.
    MatchFlow(const MatchSetup& setup, std::uint64_t seed, Arena arena = Arena::standard());
    MatchFlow(const MatchFlow&) = delete;
    MatchFlow& operator=(const MatchFlow&) = delete;

    // One tick, in two halves, so that a person's command can be made from the match as the
    // first half left it. First the clock, and a match starts if every person seated is ready.
    // Then, while a match is playing, its tick from the seats' commands (the computer's made
    // by the match) and its end if it is decided; out of a match the match stands still. Both
    // append what happened to events.
    void beginTick(EventList& events);
    void step(const SeatCommands& commands, EventList& events);

    // A person takes the seat, which must be free, under name (made a valid one).
    void seatPerson(int seat, const char* name);
    // The person leaves the seat: the computer drives it from now on.
    void unseat(int seat);
    // The person's link is lost (the computer drives, and the person is not ready) or back (the
    // person drives again unless still waiting for the seat).
    void setAway(int seat, bool away);
    // The first seat no person holds, or kNoSeat.
    int freeSeat() const;
    // The person in the seat pressed ENTER; it counts only out of a match.
    void ready(int seat);
    // The match under way ends at once, undecided (L).
    void endMatch();
    // A match starts now whoever is ready (the title's backdrop).
    void start(EventList& events);
    // Back on the title, the match at its start.
    void backToTitle();

    Phase phase() const { return current; }
    bool playing() const { return current == Phase::Playing; }
    // Matches started so far.
    std::uint16_t matchNumber() const { return started; }
    // Ticks stepped since the flow was made, and the tick the phase began in.
    std::uint32_t clock() const { return ticks; }
    std::uint32_t phaseTick() const { return phaseBegan; }
    // The outcome of the last match decided; running before one.
    const Outcome& lastOutcome() const { return decided; }
    int seatCount() const { return match.seatCount(); }
    const Occupant& occupant(int seat) const { return occupants[static_cast<std::size_t>(seat)]; }
    const char* name(int seat) const { return occupant(seat).name.data(); }
    int people() const;
    static const char* teamName(int team);
    // A decided battle's line: "NAME wins with F frags", "TEAM team wins with F frags" or "Draw
    // at F frags", the seats named by names; cut to text's room.
    using SeatNames = std::array<const char*, MatchSetup::kMaxSeats>;
    static void battleResult(const Match& match, const Outcome& outcome, const SeatNames& names,
                             char (&text)[GameEvent::kTextBytes]);
    SeatNames names() const;
    // A battle's opening line, "Battle: N tanks, first to F frags" (", two teams"), and a frag's,
    // "SHOOTER destroyed VICTIM", cut to text's room.
    static void battleStart(const MatchState& state, char (&text)[GameEvent::kTextBytes]);
    static void fragLine(const char* shooter, const char* victim,
                         char (&text)[GameEvent::kTextBytes]);

    Match match;

private:
    void startMatch(EventList& events);
    void finish(EventList& events);
    // Every person seated drives, save those away.
    void seatDrivers();
    void takeOverAtRespawns(const EventList& events, std::size_t first);
    void announce(EventList& events, std::size_t first);

    std::array<Occupant, MatchSetup::kMaxSeats> occupants{};
    Phase current = Phase::Title;
    std::uint16_t started = 0;
    std::uint32_t ticks = 0;
    std::uint32_t phaseBegan = 0;
    bool fresh = true; // the match stands at its start: the next one needs no restart
    Outcome decided;
};
