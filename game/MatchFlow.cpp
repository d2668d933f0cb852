#include "game/MatchFlow.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

namespace {
// The computer's tanks, by seat.
constexpr const char* kComputerNames[MatchSetup::kMaxSeats] = {
    "Anvil", "Badger", "Cobalt", "Drake", "Ember", "Flint", "Granite", "Hornet"};
constexpr const char* kTeamNames[] = {"Blue", "Orange"};

void setName(MatchFlow::Name& name, const char* text) {
    name = player_name::cleaned(text, "Player");
}

// A line for every console, put together in the event itself from words and numbers, cut to
// its room.
class Announcement {
public:
    explicit Announcement(char (&text)[GameEvent::kTextBytes]) : text(text) { text[0] = '\0'; }
    Announcement& operator<<(const char* words) {
        const std::size_t room = sizeof text - 1 - used;
        const std::size_t length = std::min(std::strlen(words), room);
        std::memcpy(text + used, words, length);
        used += length;
        text[used] = '\0';
        return *this;
    }
    Announcement& operator<<(int number) {
        char digits[12];
        const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, number);
        *written.ptr = '\0';
        return *this << digits;
    }

private:
    char (&text)[GameEvent::kTextBytes];
    std::size_t used = 0;
};
} // namespace

MatchFlow::MatchFlow(const MatchSetup& setup, std::uint64_t seed, Arena arena)
    : match(setup, seed, {}, std::move(arena)) {
    // Every seat there can be, for a state restored with more seats than the setup's.
    for (std::size_t seat = 0; seat < occupants.size(); ++seat) {
        setName(occupants[seat].name, kComputerNames[seat]);
    }
}

const char* MatchFlow::teamName(int team) {
    return kTeamNames[team == 1 ? 1 : 0];
}

int MatchFlow::people() const {
    int count = 0;
    for (int seat = 0; seat < seatCount(); ++seat) {
        count += occupant(seat).person ? 1 : 0;
    }
    return count;
}

int MatchFlow::freeSeat() const {
    for (int seat = 0; seat < seatCount(); ++seat) {
        if (!occupant(seat).person) {
            return seat;
        }
    }
    return kNoSeat;
}

void MatchFlow::seatPerson(int seat, const char* name) {
    Occupant& taken = occupants[static_cast<std::size_t>(seat)];
    taken = Occupant();
    taken.person = true;
    taken.waiting = playing();
    setName(taken.name, name);
    if (!playing()) {
        seatDrivers();
    }
}

void MatchFlow::unseat(int seat) {
    Occupant& left = occupants[static_cast<std::size_t>(seat)];
    left = Occupant();
    setName(left.name, kComputerNames[seat]);
    match.seat(seat).driver = Driver::Computer;
    if (people() == 0 && current != Phase::Title) {
        current = Phase::Title;
        phaseBegan = ticks;
    }
}

void MatchFlow::setAway(int seat, bool away) {
    Occupant& held = occupants[static_cast<std::size_t>(seat)];
    if (!held.person) {
        return;
    }
    held.away = away;
    held.ready = held.ready && !away;
    match.seat(seat).driver = away || held.waiting ? Driver::Computer : Driver::Human;
}

void MatchFlow::ready(int seat) {
    Occupant& asking = occupants[static_cast<std::size_t>(seat)];
    if (asking.person && !playing()) {
        asking.ready = true;
    }
}

void MatchFlow::endMatch() {
    if (playing()) {
        current = Phase::Ended;
        phaseBegan = ticks;
        seatDrivers();
    }
}

void MatchFlow::backToTitle() {
    current = Phase::Title;
    phaseBegan = ticks;
    decided = Outcome();
    match.restart();
    match.settle();
    fresh = true;
}

void MatchFlow::seatDrivers() {
    for (int seat = 0; seat < seatCount(); ++seat) {
        Occupant& sitting = occupants[static_cast<std::size_t>(seat)];
        sitting.waiting = false;
        match.seat(seat).driver =
            sitting.person && !sitting.away ? Driver::Human : Driver::Computer;
    }
}

void MatchFlow::beginTick(EventList& events) {
    ++ticks;
    if (playing()) {
        return;
    }
    bool everyoneReady = people() > 0;
    for (int seat = 0; seat < seatCount(); ++seat) {
        everyoneReady = everyoneReady && (!occupant(seat).person || occupant(seat).ready);
    }
    if (everyoneReady) {
        startMatch(events);
    }
}

void MatchFlow::step(const SeatCommands& commands, EventList& events) {
    if (!playing()) {
        match.settle();
        return;
    }
    const std::size_t first = events.size();
    match.step(commands, events);
    if (match.state.mode == Mode::Battle) {
        takeOverAtRespawns(events, first);
        announce(events, first);
    }
    if (!match.outcome().running()) {
        finish(events);
    }
}

void MatchFlow::start(EventList& events) {
    startMatch(events);
}

void MatchFlow::startMatch(EventList& events) {
    if (!fresh) {
        if (match.state.mode == Mode::Duel) {
            logLine(events, "RESTART GAME");
        }
        match.restart();
    }
    fresh = false;
    ++started;
    current = Phase::Playing;
    phaseBegan = ticks;
    for (Occupant& each : occupants) {
        each.ready = false;
    }
    seatDrivers();
    events.push_back({GameEventType::MatchStart, glm::vec3(0.0f), kNoSeat, ""});
    if (match.state.mode == Mode::Battle) {
        GameEvent& line = events.emplace_back();
        line.type = GameEventType::Announce;
        battleStart(match.state, line.text);
    }
}

void MatchFlow::battleStart(const MatchState& state, char (&text)[GameEvent::kTextBytes]) {
    Announcement(text) << "Battle: " << state.seatCount() << " tanks, first to "
                       << static_cast<int>(state.fragLimit) << " frags"
                       << (state.teams ? ", two teams" : "");
}

void MatchFlow::fragLine(const char* shooter, const char* victim,
                         char (&text)[GameEvent::kTextBytes]) {
    Announcement(text) << shooter << " destroyed " << victim;
}

void MatchFlow::finish(EventList& events) {
    decided = match.outcome();
    current = Phase::Ended;
    phaseBegan = ticks;
    seatDrivers();
    events.push_back(
        {GameEventType::MatchOver, glm::vec3(0.0f), decided.seat, "", kNoBullet, decided.team});
    if (match.state.mode == Mode::Battle) {
        GameEvent& line = events.emplace_back();
        line.type = GameEventType::Announce;
        battleResult(match, decided, names(), line.text);
    }
}

MatchFlow::SeatNames MatchFlow::names() const {
    SeatNames all{};
    for (int seat = 0; seat < seatCount(); ++seat) {
        all[static_cast<std::size_t>(seat)] = name(seat);
    }
    return all;
}

void MatchFlow::battleResult(const Match& match, const Outcome& outcome, const SeatNames& names,
                             char (&text)[GameEvent::kTextBytes]) {
    if (outcome.kind == Outcome::Kind::Draw) {
        int best = std::numeric_limits<int>::min();
        for (int seat = 0; seat < match.seatCount(); ++seat) {
            best = std::max(best, match.state.teams ? match.teamFrags(match.seat(seat).team)
                                                    : match.seat(seat).frags);
        }
        Announcement(text) << "Draw at " << best << " frags";
    } else if (outcome.team != kNoTeam) {
        Announcement(text) << teamName(outcome.team) << " team wins with "
                           << match.teamFrags(outcome.team) << " frags";
    } else if (outcome.seat != kNoSeat) {
        Announcement(text) << names[static_cast<std::size_t>(outcome.seat)] << " wins with "
                           << match.seat(outcome.seat).frags << " frags";
    } else {
        text[0] = '\0';
    }
}

void MatchFlow::takeOverAtRespawns(const EventList& events, std::size_t first) {
    for (std::size_t i = first; i < events.size(); ++i) {
        const GameEvent& event = events[i];
        if (event.type == GameEventType::Respawn) {
            Occupant& sitting = occupants[static_cast<std::size_t>(event.seat)];
            sitting.waiting = false;
            if (sitting.person && !sitting.away) {
                match.seat(event.seat).driver = Driver::Human;
            }
        }
    }
}

void MatchFlow::announce(EventList& events, std::size_t first) {
    const std::size_t end = events.size();
    for (std::size_t i = first; i < end; ++i) {
        if (events[i].type == GameEventType::Destroyed) {
            const int victim = events[i].seat;
            const int shooter = events[i].other;
            GameEvent& line = events.emplace_back();
            line.type = GameEventType::Announce;
            fragLine(name(shooter), name(victim), line.text);
        }
    }
}
