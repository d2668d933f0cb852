// The own tank predicted over a link that delays the server's view of it by a tenth of a
// second: the server steps each command when it comes, and now and then knocks the tank where
// the client cannot foresee it. Every snapshot must leave the prediction where the server's
// tank goes with exactly the commands it has not stepped yet, and the drawn tank must not jump
// for a small knock nor linger after a large one.
#include "client/Prediction.h"
#include "game/BulletSystem.h"
#include "game/Match.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

namespace {

constexpr int kSeat = 1;
constexpr std::uint32_t kDelay = 6;         // ticks before the server steps a command
constexpr std::uint32_t kSnapshotEvery = 4; // ticks
constexpr std::uint32_t kTicks = 600;
constexpr std::uint32_t kSmallKnock = 200; // the server's tick the tank is pushed aside
constexpr std::uint32_t kLargeKnock = 400;

PlayerInput inputFor(std::uint32_t tick) {
    PlayerInput input;
    input.drive = tick % 150 < 100 ? 1.0f : -0.5f;
    input.turn = tick % 90 < 30 ? 1.0f : (tick % 90 < 45 ? -1.0f : 0.0f);
    input.turret = tick % 70 < 20 ? 1.0f : 0.0f;
    input.fire = tick % 40 == 0;
    input.jump = tick % 230 == 0;
    return input;
}

TEST(PredictionTest, EachSnapshotReplaysExactlyTheCommandsTheServerHasNotStepped) {
    const MatchSetup setup = MatchSetup::duel(Rules::Classic);
    const std::vector<Driver> people(2, Driver::Human);
    Prediction prediction;
    prediction.reshape(setup, people);
    prediction.standAt(0);
    Match server(setup, 0, people);
    Match replay(setup, 0, people); // the expectation, worked out apart
    Match shownMatch(setup, 0, people);
    Tank& drawn = shownMatch.tank(kSeat);
    std::map<std::uint32_t, TankCommand> sent; // as the server has them, by tick
    EventList events;
    EventList ignored;
    std::uint32_t lastAck = 0;
    bool smallSeen = false;
    bool largeSeen = false;

    for (std::uint32_t tick = 1; tick <= kTicks; ++tick) {
        prediction.beginTick();
        std::uint32_t serverTick = tick > kDelay ? tick - kDelay : 0;
        if (tick % kSnapshotEvery == 0 && serverTick > 0) {
            const glm::vec3 drawnBefore = drawn.position;
            prediction.acknowledge(serverTick);
            lastAck = serverTick;
            prediction.reconcile(serverTick, server.tank(kSeat), tick - 1, kSeat);
            // The server's tank with the commands after its tick, and no others.
            replay.tank(kSeat) = server.tank(kSeat);
            for (std::uint32_t t = serverTick + 1; t < tick; ++t) {
                replay.stepAlone(kSeat, sent.at(t), ignored);
                replay.state.bullets.clear();
            }
            ASSERT_EQ(prediction.tank(kSeat).position, replay.tank(kSeat).position) << tick;
            ASSERT_EQ(prediction.tank(kSeat).heading, replay.tank(kSeat).heading) << tick;
            ASSERT_EQ(prediction.tank(kSeat).turretHeading, replay.tank(kSeat).turretHeading);
            const float error = glm::length(prediction.tank(kSeat).position - drawnBefore);
            if (serverTick >= kSmallKnock && !smallSeen && error > 0.3f) {
                smallSeen = true;
                // Blended: the first drawing moves a share of it, the sixth lands on it.
                prediction.draw(kSeat, drawn);
                EXPECT_GT(glm::length(drawn.position - prediction.tank(kSeat).position), 0.2f);
                for (int each = 1; each < Prediction::kCorrectionTicks; ++each) {
                    prediction.draw(kSeat, drawn);
                }
                EXPECT_LT(glm::length(drawn.position - prediction.tank(kSeat).position), 1e-4f);
            }
            if (serverTick >= kLargeKnock && !largeSeen && error > Prediction::kSnapUnits) {
                largeSeen = true;
                prediction.draw(kSeat, drawn); // snapped: drawn where predicted at once
                EXPECT_EQ(drawn.position, prediction.tank(kSeat).position);
            }
        }

        prediction.command(tick, inputFor(tick), kSeat);
        // The datagram carries every command the server has not acknowledged, the newest last.
        const protocol::Commands& datagram = prediction.unacknowledged(tick, 1);
        ASSERT_EQ(datagram.firstTick + datagram.commands.size() - 1, tick);
        EXPECT_TRUE(datagram.firstTick <= lastAck + 1 ||
                    datagram.commands.size() == protocol::kMaxCommandsPerDatagram)
            << tick;
        for (std::size_t i = 0; i < datagram.commands.size(); ++i) {
            sent[datagram.firstTick + static_cast<std::uint32_t>(i)] = datagram.commands[i];
        }
        prediction.step(tick, kSeat, events, shownMatch.state.bullets);
        prediction.draw(kSeat, drawn);

        // The server steps the command now due, and knocks the tank aside twice.
        serverTick = tick >= kDelay ? tick - kDelay + 1 : 0;
        if (serverTick > 0) {
            server.stepAlone(kSeat, sent.at(serverTick), ignored);
            server.state.bullets.clear();
            if (serverTick == kSmallKnock) {
                server.tank(kSeat).position.x += 0.6f;
            }
            if (serverTick == kLargeKnock) {
                server.tank(kSeat).position.z += 3.0f;
            }
        }
    }
    EXPECT_TRUE(smallSeen);
    EXPECT_TRUE(largeSeen);
    // Shots are shown once, in the tick they are fired, never from a replay, named by their
    // owner and that tick as the server names them.
    std::vector<std::uint32_t> fired;
    for (const Bullet& bullet : shownMatch.state.bullets.bullets) {
        EXPECT_EQ(bullet.owner, kSeat);
        fired.push_back(bullet.firedTick);
    }
    std::vector<std::uint32_t> pulled;
    for (std::uint32_t tick = 40; tick <= kTicks; tick += 40) {
        pulled.push_back(tick);
    }
    EXPECT_EQ(fired, pulled);
    EXPECT_GT(prediction.mostReplayed(), 0u);
}

} // namespace
