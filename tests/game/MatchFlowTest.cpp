// A game's flow as people come and go: who drives which seat and when, the phases, and the
// lines every console prints.
#include "game/MatchFlow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class FlowTest : public ::testing::Test {
protected:
    explicit FlowTest(const MatchSetup& setup = MatchSetup::battle(4, false, 2)) : flow(setup, 3u) {
        events.reserve(64);
    }

    void tick(const SeatCommands& commands = {}) {
        events.clear();
        flow.beginTick(events);
        flow.step(commands, events);
        for (const GameEvent& event : events) {
            if (event.type == GameEventType::Announce || event.type == GameEventType::Log) {
                lines.emplace_back(event.text);
            }
            started += event.type == GameEventType::MatchStart;
        }
    }
    bool said(const std::string& line) const {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    Driver driver(int seat) const { return flow.match.seat(seat).driver; }

    MatchFlow flow;
    EventList events;
    std::vector<std::string> lines;
    int started = 0;
};

TEST_F(FlowTest, PeopleComeAndGoAndTheComputerDrivesEverySeatNobodyHolds) {
    EXPECT_EQ(flow.phase(), Phase::Title);
    EXPECT_EQ(flow.freeSeat(), 0);
    flow.seatPerson(0, "Ada");
    flow.seatPerson(2, "a name far longer than sixteen");
    EXPECT_STREQ(flow.name(2), "a name far longe") << "cut to 16";
    EXPECT_STREQ(flow.name(1), "Badger") << "the computer's own";
    EXPECT_EQ(flow.freeSeat(), 1);
    EXPECT_EQ(driver(0), Driver::Human);
    EXPECT_EQ(driver(1), Driver::Computer);

    // Nothing starts until every person seated is ready; then it plays that very tick.
    flow.ready(0);
    tick();
    EXPECT_EQ(flow.phase(), Phase::Title);
    EXPECT_EQ(flow.match.state.tick, 0u);
    flow.ready(2);
    tick();
    EXPECT_EQ(flow.phase(), Phase::Playing);
    EXPECT_EQ(flow.match.state.tick, 1u);
    EXPECT_EQ(flow.phaseTick(), flow.clock());
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(said("Battle: 4 tanks, first to 2 frags"));

    // One who joins a battle under way takes the seat from the computer at its next respawn.
    flow.seatPerson(1, "Cy");
    EXPECT_EQ(driver(1), Driver::Computer);
    flow.match.tank(1).respawnTicks = 1; // destroyed a while ago
    tick();
    EXPECT_EQ(driver(1), Driver::Human);
    EXPECT_EQ(flow.freeSeat(), 3);

    // One whose link is lost keeps the seat while the computer drives it.
    flow.setAway(2, true);
    EXPECT_EQ(driver(2), Driver::Computer);
    EXPECT_EQ(flow.freeSeat(), 3);
    flow.setAway(2, false);
    EXPECT_EQ(driver(2), Driver::Human);

    // A frag, by name, and the end at the limit of 2.
    flow.match.tank(3).placeAt(glm::vec3(6.0f, 0.05f, 5.0f), 90.0f, 0.035f);
    flow.match.tank(0).placeAt(glm::vec3(0.0f, 0.05f, 5.0f), 270.0f, 0.035f);
    flow.match.seat(0).frags = 1;
    SeatCommands fire{};
    fire[0].aim = TankCommand::aimOf(270.0f);
    fire[0].fire = true;
    for (int t = 0; t < 30 && flow.playing(); ++t) {
        tick(fire);
        fire[0].fire = false;
    }
    EXPECT_TRUE(said("Ada destroyed Drake"));
    EXPECT_TRUE(said("Ada wins with 2 frags"));
    EXPECT_EQ(flow.phase(), Phase::Ended);
    EXPECT_EQ(flow.lastOutcome(), Outcome::wonBySeat(0));

    // Ready again, and a new battle: scores at naught, no duel's restart line.
    flow.ready(0);
    flow.ready(1);
    flow.ready(2);
    tick();
    EXPECT_EQ(flow.phase(), Phase::Playing);
    EXPECT_EQ(flow.matchNumber(), 2);
    EXPECT_EQ(flow.match.seat(0).frags, 0);
    EXPECT_FALSE(said("RESTART GAME"));

    // Leaving hands the tank over at once; with nobody left the game is back on its title.
    flow.unseat(0);
    EXPECT_EQ(driver(0), Driver::Computer);
    EXPECT_STREQ(flow.name(0), "Anvil");
    flow.unseat(1);
    EXPECT_EQ(flow.phase(), Phase::Playing);
    flow.unseat(2);
    EXPECT_EQ(flow.phase(), Phase::Title);
}

class DuelFlowTest : public FlowTest {
protected:
    DuelFlowTest() : FlowTest(MatchSetup::duel(Rules::Duel)) {}
};

TEST_F(DuelFlowTest, ADuelsJoinerWaitsForTheEndAndARestartSaysSo) {
    flow.seatPerson(0, "Player");
    flow.ready(0);
    tick();
    ASSERT_TRUE(flow.playing());
    EXPECT_FALSE(said("RESTART GAME")) << "the first match starts from the start";
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                             [](const std::string& line) { return line.rfind("Battle", 0) == 0; }));

    flow.seatPerson(1, "Bo");
    EXPECT_EQ(driver(1), Driver::Computer) << "until the duel under way ends";
    flow.ready(1);
    EXPECT_FALSE(flow.occupant(1).ready) << "ENTER counts only between matches";
    // A lost link mended mid-match does not give the joiner the tank early.
    flow.setAway(1, true);
    flow.setAway(1, false);
    EXPECT_EQ(driver(1), Driver::Computer);

    // L ends it undecided; the joiner drives from its end.
    flow.endMatch();
    EXPECT_EQ(flow.phase(), Phase::Ended);
    EXPECT_TRUE(flow.lastOutcome().running());
    EXPECT_EQ(driver(1), Driver::Human);
    flow.ready(0);
    tick();
    EXPECT_EQ(flow.phase(), Phase::Ended) << "the second person is not ready yet";
    // One whose link is lost is not ready until it is back and says so again.
    flow.ready(1);
    flow.setAway(1, true);
    tick();
    EXPECT_EQ(flow.phase(), Phase::Ended);
    flow.setAway(1, false);
    EXPECT_EQ(driver(1), Driver::Human);
    flow.ready(1);
    tick();
    EXPECT_EQ(flow.phase(), Phase::Playing);
    EXPECT_TRUE(said("RESTART GAME"));
    EXPECT_EQ(flow.match.tank(0).lives, 5);

    // The computer's tank out: the person in the first seat won.
    flow.match.tank(1).lives = 0;
    tick();
    EXPECT_EQ(flow.phase(), Phase::Ended);
    EXPECT_EQ(flow.lastOutcome(), Outcome::wonBySeat(0));
    EXPECT_EQ(events.back().type, GameEventType::MatchOver);
    EXPECT_EQ(events.back().seat, 0);

    // Back to the title: the next start is a first one again.
    flow.backToTitle();
    EXPECT_TRUE(flow.lastOutcome().running());
    lines.clear();
    flow.ready(0);
    flow.ready(1);
    tick();
    EXPECT_TRUE(flow.playing());
    EXPECT_FALSE(said("RESTART GAME"));
}

} // namespace
