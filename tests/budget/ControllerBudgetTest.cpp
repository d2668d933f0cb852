// The computer's skilled controllers in ticks after start-up: their memories, plans and searches
// live in room made when the match was, so a tick of a battle of them allocates nothing.
#include "game/Match.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

namespace {

constexpr int kTanks = 8;
constexpr int kWarmUpTicks = 60;
constexpr int kCountedTicks = 60 * 60; // a minute

TEST(ControllerBudgetTest, ABattleOfSkilledControllersAllocatesNothingInATick) {
    Match match(MatchSetup::battle(kTanks, false, MatchSetup::kMaxFragLimit), 2027u, {});
    for (int seat = 0; seat < kTanks; ++seat) {
        match.setSkill(seat, static_cast<Skill>(1 + seat % (kSkillCount - 1)));
    }
    EventList events;
    events.reserve(256);
    for (int tick = 0; tick < kWarmUpTicks; ++tick) {
        events.clear();
        match.step({}, events);
    }
    int shots = 0;
    allocationCounter::start();
    for (int tick = 0; tick < kCountedTicks; ++tick) {
        events.clear();
        match.step({}, events);
        for (const GameEvent& event : events) {
            shots += event.type == GameEventType::Shot ? 1 : 0;
        }
    }
    EXPECT_EQ(allocationCounter::stop(), 0u);
    EXPECT_GT(shots, 20) << "they fought";
}

} // namespace
