// The client's clock against a simulated server over a link with delay and jitter: the server's
// clock drifts from the client's, then stalls and jumps ahead, then drifts the other way. The
// commands must keep reaching the server before their tick, the clock moving once per jump.
#include "client/ClockSync.h"
#include "net/Protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <random>

namespace {

constexpr double kStep = 1.0 / 16.0;   // simulated real time, in nominal ticks
constexpr double kOneWay = 4.0;        // ticks, about 67 ms
constexpr double kJitter = 1.0;        // ticks either way
constexpr int kSnapshotEvery = 2;      // server ticks
constexpr std::uint32_t kStart = 5000; // the server's tick at admission

struct InFlight {
    double arrives = 0.0;
    std::uint32_t tick = 0;
    std::int16_t lead = protocol::kNoLead; // snapshots only
};

// A server ticking at its own speed against real time, a link each way, and a client stepping
// ClockSync as the network game does: snapshots taken in, then its tick and its command.
class Simulation {
public:
    Simulation() { clock.start(kStart, static_cast<std::uint32_t>(2 * kOneWay * 1000 / 60)); }

    // Runs for ticks of real time; each lead the server measures goes to measured.
    template <typename Measured> void run(double ticks, Measured measured) {
        for (const double until = now + ticks; now < until; now += kStep) {
            serverSide(measured);
            clientSide();
        }
    }

    double serverSpeed = 1.0; // server ticks per nominal tick
    int jumped = 0;           // the clock's jumps
    std::int32_t lastJump = 0;
    ClockSync clock;
    std::uint32_t serverTick = kStart;

private:
    double delay() {
        return kOneWay + std::uniform_real_distribution<double>(-kJitter, kJitter)(random);
    }

    template <typename Measured> void serverSide(Measured measured) {
        sinceServerTick += kStep * serverSpeed;
        while (sinceServerTick >= 1.0) {
            sinceServerTick -= 1.0;
            ++serverTick;
            if (serverTick % kSnapshotEvery == 0) {
                const std::int16_t lead =
                    leadTaken ? protocol::kNoLead
                              : static_cast<std::int16_t>(std::lround(least * protocol::kLeadUnit));
                toClient.push_back({now + delay(), serverTick, lead});
                leadTaken = true;
            }
        }
        for (auto it = toServer.begin(); it != toServer.end();) {
            if (it->arrives > now) {
                ++it;
                continue;
            }
            // Stepped when the server's time reaches its tick.
            const double lead =
                static_cast<double>(static_cast<std::int32_t>(it->tick - serverTick)) -
                sinceServerTick;
            measured(lead);
            least = leadTaken ? lead : std::min(least, lead);
            leadTaken = false;
            it = toServer.erase(it);
        }
    }

    void clientSide() {
        sinceClientTick += kStep * clock.rate();
        if (sinceClientTick < 1.0) {
            return;
        }
        sinceClientTick -= 1.0;
        bool taken = false;
        std::uint32_t newest = 0;
        for (auto it = toClient.begin(); it != toClient.end();) {
            if (it->arrives > now) {
                ++it;
                continue;
            }
            clock.hear(it->lead);
            if (!taken || static_cast<std::int32_t>(it->tick - newest) > 0) {
                newest = it->tick;
            }
            taken = true;
            it = toClient.erase(it);
        }
        if (taken && static_cast<std::int32_t>(newest - newestTaken) > 0) {
            newestTaken = newest;
            const std::int32_t shift = clock.take(newest);
            if (shift != 0) {
                ++jumped;
                lastJump = shift;
            }
        }
        clock.advance();
        toServer.push_back({now + delay(), clock.tick()});
    }

    double now = 0.0;
    double sinceServerTick = 0.0;
    double sinceClientTick = 0.0;
    double least = 0.0;
    bool leadTaken = true;
    std::uint32_t newestTaken = 0;
    std::deque<InFlight> toServer;
    std::deque<InFlight> toClient;
    std::mt19937 random{7};
};

TEST(ClockSyncTest, CommandsStayAheadOfADriftingAndJumpingServer) {
    Simulation sim;
    sim.serverSpeed = 1.02;
    sim.run(3 * 60.0, [](double) {});
    // Settled: every command comes before its tick, but not far before.
    double least = 1e9;
    double most = -1e9;
    const auto within = [&](double lead) {
        least = std::min(least, lead);
        most = std::max(most, lead);
    };
    sim.run(10 * 60.0, within);
    EXPECT_GT(least, 0.0);
    EXPECT_LT(most, ClockSync::kLeadHigh + 2.0 * kJitter + 1.0);
    // Catching up with a faster server, within the bounds.
    EXPECT_GT(sim.clock.rate(), 1.0);
    EXPECT_LE(sim.clock.rate(), 1.0 + ClockSync::kMaxRateChange);
    EXPECT_LE(sim.jumped, 1) << "only the start may move the clock at once";

    // The server stalls and catches up: 40 ticks at once. The clock jumps once, by about as
    // much; the reports still about the clock before the jump do not move it again.
    constexpr std::uint32_t kStall = 40;
    sim.jumped = 0;
    sim.serverTick += kStall;
    sim.run(2 * 60.0, [](double) {});
    EXPECT_EQ(sim.jumped, 1);
    EXPECT_NEAR(sim.lastJump, static_cast<double>(kStall), 3.0);

    // Now slower than the client: every command still before its tick, the clock slowed.
    sim.serverSpeed = 0.98;
    least = 1e9;
    most = -1e9;
    sim.run(3 * 60.0, [](double) {});
    sim.run(10 * 60.0, within);
    EXPECT_GT(least, 0.0);
    EXPECT_LT(most, ClockSync::kLeadHigh + 2.0 * kJitter + 1.0);
    EXPECT_LT(sim.clock.rate(), 1.0);
    EXPECT_GE(sim.clock.rate(), 1.0 - ClockSync::kMaxRateChange);
    EXPECT_EQ(sim.jumped, 1);
}

} // namespace
