// A battle served on loopback in real time: four tanks, two of them people who both ask to be
// "Ada", the computer in the others. The clients take the battle's shape from the server, and
// every frag, death and the outcome they show are the server's.
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

TEST(BattleNetTest, TwoPeopleAndTwoComputersPlayABattleEveryClientScoresAsTheServer) {
    SharedConsole console;
    ServerOptions options = localServer();
    options.mode = Mode::Battle;
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
    for (const Client* client : both) {
        EXPECT_EQ(client->game.status().setup, MatchSetup::battle(4, false, 3, 60, Skill::Classic));
        EXPECT_EQ(client->game.shown().seatCount(), 4);
        EXPECT_EQ(client->game.shown().state.mode, Mode::Battle);
        EXPECT_STREQ(client->game.seatName(0), "Ada");
        EXPECT_STREQ(client->game.seatName(1), "Ada 2") << "made unique";
        EXPECT_STREQ(client->game.seatName(2), "Cobalt") << "the computer's own";
    }

    // Both fire as often as the reload lets them, driving in circles, until the battle ends.
    bool trigger = false;
    const bool ended = play(both, 70.0, [&] {
        trigger = !trigger;
        ada.input.fire = again.input.fire = trigger;
        return scores.last().phase == Phase::Ended && ada.game.phase() == Phase::Ended &&
               again.game.phase() == Phase::Ended;
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
    // Every console says the same: the start, each frag by name, the end.
    const std::vector<std::string> said = battleLines(console.text());
    ASSERT_GE(said.size(), 3u) << console.text();
    EXPECT_EQ(said.front(), "Battle: 4 tanks, first to 3 frags");
    EXPECT_EQ(ada.announced, said);
    EXPECT_EQ(again.announced, said);
    for (int seat = 0; seat < end.seats; ++seat) {
        frags = std::max(frags, end.frags[static_cast<std::size_t>(seat)]);
    }
    EXPECT_TRUE(frags == 3 || end.outcome.kind == Outcome::Kind::Draw) << "the limit, or the time";
}

} // namespace
