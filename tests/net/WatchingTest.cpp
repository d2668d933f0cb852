// A battle of two seats served on loopback in real time, both held by people who shoot it out. A
// third client finds every seat taken and watches; a fourth finds no room to watch either. The
// spectator is shown every frag and score as the players are, follows the tank it picks, and takes
// the seat a player left once the battle is over.
#include "NetPlay.h"
#include "game/Angles.h"
#include "net/ServerThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace netplay;

// The player drives to its seat's side of a meeting place west of the block in the middle,
// where the two tanks see each other 6 units apart, keeps its turret on the other tank as its
// game shows it and pulls the trigger every second tick (as often as the reload lets a shot go,
// near enough).
void shootOut(Client& player, bool trigger) {
    player.input = PlayerInput();
    if (!player.game.drives()) {
        return;
    }
    const NetworkGame& game = player.game;
    const Tank& own = game.predictedTank();
    const glm::vec3 place(-8.0f, 0.0f, game.ownSeat() == 0 ? 3.0f : -3.0f);
    glm::vec3 way = place - own.position;
    way.y = 0.0f;
    if (glm::length(way) > 0.5f) {
        const float heading = headingOf(glm::normalize(way));
        player.input.turn =
            std::clamp(headingDifference(own.heading, heading) / 10.0f, -1.0f, 1.0f);
        player.input.drive =
            std::abs(headingDifference(own.heading, heading)) < 30.0f ? 1.0f : 0.0f;
    }
    glm::vec3 towards = game.shown().tank(1 - game.ownSeat()).position - own.position;
    towards.y = 0.0f;
    if (glm::length(towards) > 0.1f) {
        player.input.aimAtHeading = true;
        player.input.aimHeading = headingOf(glm::normalize(towards));
    }
    player.input.fire = trigger;
}

TEST(WatchingTest, AThirdClientWatchesTheBattleFollowsAnyTankAndTakesAFreedSeatAtTheEnd) {
    SharedConsole console;
    ServerOptions options = localServer();
    options.mode = Mode::Battle;
    options.tanks = 2;
    options.fragLimit = 3;
    options.timeLimitSeconds = 60;
    options.skill = Skill::Ace;
    options.spectators = 1;
    Server server(options, console.stream);
    ASSERT_TRUE(server.listening());
    Scores scores(server);
    server.observer = &scores;
    ServerThread running(server);

    Client ada(server.port(), "", protocol::kVersion, "Ada");
    auto bo = std::make_unique<Client>(server.port(), "", protocol::kVersion, "Bo");
    ASSERT_TRUE(
        play({&ada, bo.get()}, 10.0, [&] { return ada.game.joined() && bo->game.joined(); }));
    Client cy(server.port(), "", protocol::kVersion, "Cy");
    ASSERT_TRUE(play({&ada, bo.get(), &cy}, 10.0, [&] {
        return ada.game.drives() && bo->game.drives() && cy.game.joined();
    })) << console.text();
    EXPECT_TRUE(cy.game.watching());
    EXPECT_EQ(cy.game.ownSeat(), protocol::kWaiting);
    EXPECT_TRUE(cy.said(ClientConnection::kWatchingLine)) << cy.console.str();
    EXPECT_TRUE(console.has("Spectator joined: every seat is taken")) << console.text();
    EXPECT_EQ(server.spectators(), 1);
    EXPECT_EQ(cy.game.status().yourSeat, protocol::kWaiting);
    EXPECT_STREQ(cy.game.seatName(1), "Bo");

    // No room left to watch: the next one is refused as before.
    Client di(server.port(), "", protocol::kVersion, "Di");
    ASSERT_TRUE(play({&ada, bo.get(), &cy, &di}, 10.0, [&] { return di.game.over(); }));
    EXPECT_TRUE(di.said("Server full")) << di.console.str();

    // Right follows the next tank, Left the one before, round the table.
    EXPECT_EQ(cy.game.shownSeat(), 0);
    cy.input.nextTank = 1;
    cy.tick();
    EXPECT_EQ(cy.game.shownSeat(), 1);
    cy.input.nextTank = -3;
    cy.tick();
    EXPECT_EQ(cy.game.shownSeat(), 0);
    cy.input.nextTank = 0;

    // The two shoot it out; Bo goes a second after the first frag, and the computer plays on for
    // him.
    bool trigger = false;
    bool boLeft = false;
    std::uint32_t firstFrag = 0;
    constexpr std::uint32_t kLeaveTicks = 60;
    bool watchedAfterBo = true;
    const bool ended = play({&ada, bo.get(), &cy}, 75.0, [&] {
        trigger = !trigger;
        shootOut(ada, trigger);
        shootOut(*bo, trigger);
        const Scores::Seen now = scores.last();
        if (firstFrag == 0 && now.frags[0] + now.frags[1] > 0) {
            firstFrag = ada.game.clientTick();
        }
        // A second after it: every console has had the frag under Bo's name.
        if (!boLeft && firstFrag != 0 && ada.game.clientTick() - firstFrag > kLeaveTicks) {
            bo->game.leave();
            boLeft = true;
        }
        if (boLeft && now.phase == Phase::Playing) {
            watchedAfterBo = watchedAfterBo && cy.game.watching();
        }
        return now.phase == Phase::Ended && cy.game.phase() == Phase::Ended &&
               ada.game.phase() == Phase::Ended;
    });
    ASSERT_TRUE(ended) << console.text();
    ASSERT_TRUE(boLeft) << "no frag in the battle";
    EXPECT_TRUE(watchedAfterBo) << "a seat freed mid-battle waits for its end";
    EXPECT_EQ(server.counts().spectatorCommands, 0u);

    // The spectator saw every frag, score and the outcome the server decided.
    const Scores::Seen end = scores.last();
    EXPECT_EQ(cy.game.status().outcome, end.outcome);
    for (int seat = 0; seat < end.seats; ++seat) {
        EXPECT_EQ(cy.game.shown().seat(seat).frags, end.frags[static_cast<std::size_t>(seat)]);
        EXPECT_EQ(cy.game.shown().seat(seat).deaths, end.deaths[static_cast<std::size_t>(seat)]);
    }
    const std::vector<std::string> said = battleLines(console.text());
    ASSERT_GE(said.size(), 3u) << console.text();
    EXPECT_EQ(cy.announced, said);
    EXPECT_EQ(ada.announced, said);

    // At the end Cy takes the seat Bo left, and the next battle is Ada's and Cy's.
    ASSERT_TRUE(play({&ada, &cy}, 10.0, [&] {
        shootOut(ada, false);
        return ada.game.drives() && cy.game.drives();
    })) << console.text();
    EXPECT_FALSE(cy.game.watching());
    EXPECT_EQ(cy.game.ownSeat(), 1);
    EXPECT_TRUE(cy.said("Seat 2 is free: playing")) << cy.console.str();
    EXPECT_STREQ(ada.game.seatName(1), "Cy");
    EXPECT_EQ(server.spectators(), 0);
    EXPECT_EQ(server.players(), 2);
    EXPECT_EQ(server.matchNumber(), 2);
}

} // namespace
