#include "ControllerCost.h"

#include "game/ControllerView.h"
#include "game/Match.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <iomanip>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBuilds = 10;
constexpr int kTanks = 8;
constexpr std::uint64_t kSeed = 2026;
constexpr double kP99 = 0.99;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double rank(std::vector<double>& sorted, double share) {
    const auto index = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1));
    return sorted[index];
}

} // namespace

void measureControllerCost(std::ostream& out, double seconds) {
    const Arena arena = Arena::standard();
    std::vector<double> builds;
    for (int i = 0; i < kBuilds; ++i) {
        const Clock::time_point start = Clock::now();
        const NavGraph graph(arena);
        builds.push_back(millisecondsSince(start));
    }
    std::sort(builds.begin(), builds.end());

    // People's seats, so that the match leaves the driving to the controllers here, which drive
    // within the same powers.
    Match match(MatchSetup::battle(kTanks, false, MatchSetup::kMaxFragLimit), kSeed,
                std::vector<Driver>(kTanks, Driver::Human));
    std::array<SkilledController, kTanks> controllers;
    std::array<Skill, kTanks> skills{};
    for (int seat = 0; seat < kTanks; ++seat) {
        skills[static_cast<std::size_t>(seat)] = static_cast<Skill>(1 + seat % (kSkillCount - 1));
        match.setSkill(seat, skills[static_cast<std::size_t>(seat)]);
        controllers[static_cast<std::size_t>(seat)] = match.seat(seat).skilled;
    }
    PathSearch search(*match.navigation());
    std::vector<double> calls;
    const auto ticks = static_cast<std::uint32_t>(seconds * Match::kTicksPerSecond);
    calls.reserve(static_cast<std::size_t>(ticks) * kTanks);
    EventList events;
    events.reserve(256);
    for (std::uint32_t tick = 0; tick < ticks; ++tick) {
        // As the match would: every controller reads the state its next tick begins with.
        MatchState next = match.state;
        next.tick += 1;
        SeatCommands commands{};
        for (int seat = 0; seat < kTanks; ++seat) {
            const auto at = static_cast<std::size_t>(seat);
            if (!match.tank(seat).inPlay()) {
                continue;
            }
            const ControllerView view{next,   match.arena, *match.navigation(),
                                      search, seat,        skillFigures(skills[at])};
            const Clock::time_point start = Clock::now();
            commands[at] = controllers[at].command(view);
            calls.push_back(millisecondsSince(start));
        }
        events.clear();
        match.step(commands, events);
    }
    std::sort(calls.begin(), calls.end());
    out << std::fixed << std::setprecision(3) << "Computer controllers: the navigation graph ("
        << match.navigation()->size() << " places, " << match.navigation()->edges.size()
        << " edges) built in " << rank(builds, 0.5) << " ms (median of " << kBuilds << ", worst "
        << builds.back() << " ms); " << calls.size() << " commands of Rookies, Veterans and Aces "
        << "in an " << kTanks << "-tank battle: median " << rank(calls, 0.5) << " ms, p99 "
        << rank(calls, kP99) << " ms, worst " << calls.back() << " ms a tank a tick" << std::endl;
}
