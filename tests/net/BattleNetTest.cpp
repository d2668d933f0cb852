// A battle served on loopback in real time, each tank for itself or in two teams: four tanks, two
// of them people who both ask to be "Ada", the computer in the others, and a spectator. The
// clients take the battle's shape from the server, and every frag, death and the outcome they
// show are the server's; each person hears the match won or lost as the server decided it (a
// team's win is its every member's), and the spectator neither.
#include "NetPlay.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace netplay;

class BattleNetTest : public ::testing::TestWithParam<bool> {};

TEST_P(BattleNetTest, TwoPeopleAndTwoComputersPlayABattleEveryClientScoresAsTheServer) {
    const bool teams = GetParam();
    SharedConsole console;
    ServerOptions options = localServer();
    options.mode = Mode::Battle;
    options.teams = teams;
    options.tanks = 4;
    options.fragLimit = 3;
    options.timeLimitSeconds = 60;
    options.skill = Skill::Ace;
    Server server(options, console.stream);
    ASSERT_TRUE(server.listening());
    Scores scores(server);
    server.observer = &scores;
    ServerThread running(server);

    Client ada(server.port(), "", protocol::kVersion, "Ada");
    Client again(server.port(), "", protocol::kVersion, "Ada");
    const std::vector<Client*> both{&ada, &again};
    ASSERT_TRUE(play(both, 10.0, [&] { return ada.game.drives() && again.game.drives(); }));
    Client eve(server.port(), "", protocol::kVersion, "Eve", nullptr, true);
    const std::vector<Client*> all{&ada, &again, &eve};
    ASSERT_TRUE(play(all, 10.0, [&] { return eve.game.watching(); }));
    for (const Client* client : both) {
        EXPECT_EQ(client->game.status().setup, MatchSetup::battle(4, teams, 3, 60, Skill::Classic));
        EXPECT_EQ(client->game.shown().seatCount(), 4);
        EXPECT_EQ(client->game.shown().state.mode, Mode::Battle);
        EXPECT_STREQ(client->game.seatName(0), "Ada");
        EXPECT_STREQ(client->game.seatName(1), "Ada 2") << "made unique";
        EXPECT_STREQ(client->game.seatName(2), "Cobalt") << "the computer's own";
    }

    // Both fire as often as the reload lets them, driving in circles, until the battle ends.
    bool trigger = false;
    const bool ended = play(all, 70.0, [&] {
        trigger = !trigger;
        ada.input.fire = again.input.fire = trigger;
        return scores.last().phase == Phase::Ended && ada.game.phase() == Phase::Ended &&
               again.game.phase() == Phase::Ended && eve.game.phase() == Phase::Ended;
    });
    ASSERT_TRUE(ended) << console.text();
    const Scores::Seen end = scores.last();
    ASSERT_FALSE(end.outcome.running());
    int frags = 0;
    for (const Client* client : both) {
        EXPECT_EQ(client->game.status().outcome, end.outcome);
        for (int seat = 0; seat < end.seats; ++seat) {
            const Seat& shown = client->game.shown().seat(seat);
            EXPECT_EQ(shown.frags, end.frags[static_cast<std::size_t>(seat)]) << "seat " << seat;
            EXPECT_EQ(shown.deaths, end.deaths[static_cast<std::size_t>(seat)]) << "seat " << seat;
        }
        EXPECT_GE(client->game.seatRoundTripMs(1 - client->game.ownSeat()), 0)
            << "the other person's round trip";
        EXPECT_EQ(client->game.seatRoundTripMs(3), -1) << "the computer has none";
    }
    // Seats alternate between the teams.
    const auto teamOf = [&](int seat) { return teams ? seat % 2 : kNoTeam; };
    for (const Client* client : both) {
        const int own = client->game.ownSeat();
        const bool won = end.outcome.kind == Outcome::Kind::Won &&
                         (end.outcome.seat == own || (teams && end.outcome.team == teamOf(own)));
        EXPECT_EQ(client->verdicts, std::vector<GameEventType>{won ? GameEventType::MatchWon
                                                                   : GameEventType::MatchLost})
            << "seat " << own + 1;
    }
    EXPECT_TRUE(eve.verdicts.empty()) << "the spectator";
    // Every console says the same: the start, each frag by name, the end.
    const std::vector<std::string> said = battleLines(console.text());
    ASSERT_GE(said.size(), 3u) << console.text();
    EXPECT_EQ(said.front(),
              std::string("Battle: 4 tanks, first to 3 frags") + (teams ? ", two teams" : ""));
    EXPECT_EQ(ada.announced, said);
    EXPECT_EQ(again.announced, said);
    EXPECT_EQ(eve.announced, said);
    std::array<int, 2> teamFrags{};
    for (int seat = 0; seat < end.seats; ++seat) {
        const int scored = end.frags[static_cast<std::size_t>(seat)];
        frags = std::max(frags, scored);
        teamFrags[static_cast<std::size_t>(seat % 2)] += scored;
    }
    if (teams) {
        frags = std::max(teamFrags[0], teamFrags[1]);
    }
    EXPECT_TRUE(frags == 3 || end.outcome.kind == Outcome::Kind::Draw) << "the limit, or the time";
}

INSTANTIATE_TEST_SUITE_P(EachForItselfAndTeams, BattleNetTest, ::testing::Bool());

} // namespace
