// A client that drives no tank watches four computer tanks battle on a server a few ticks
// away: every tank is drawn from the snapshots where the server had it, and each frag and shot
// is shown when the drawing reaches its tick, neither before nor after, named as the seats were
// named when it happened: the first tank fragged changes hands at once (its person leaves, say),
// and the new name reaches the client before the drawing reaches the frag.
#include "client/OthersView.h"
#include "game/Match.h"
#include "game/MatchFlow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr int kSeats = 4;
constexpr std::uint32_t kDelay = 5;         // ticks from the server to the client
constexpr std::uint32_t kSnapshotEvery = 2; // ticks
constexpr std::uint32_t kTicks = 60 * 60;   // a minute
constexpr std::uint16_t kMatchNumber = 3;
// Units in a tick: faster than a tank drives (knocked, falling), which the drawing does not
// follow at once. A tank brought back elsewhere is drawn there at once.
constexpr float kFasterThanDriving = 0.2f;
constexpr std::uint32_t kSettleTicks = 300; // the drawing caught up, even across the arena

protocol::WireEvent toWire(const GameEvent& event, const Match& match) {
    protocol::WireEvent wire;
    wire.type = event.type;
    wire.seat = static_cast<std::int8_t>(event.seat);
    wire.position = event.position;
    if (event.type == GameEventType::Destroyed) {
        wire.owner = static_cast<std::int8_t>(event.other);
    }
    if (event.bullet != kNoBullet) {
        const Bullet& bullet = match.state.bullets.bullets[static_cast<std::size_t>(event.bullet)];
        wire.owner = static_cast<std::int8_t>(bullet.owner);
        wire.firedTick = bullet.firedTick;
        wire.direction = bullet.direction;
        wire.origin = bullet.origin;
    }
    return wire;
}

struct Sent {
    std::uint32_t arrives = 0;
    bool isSnapshot = false;
    protocol::Snapshot snapshot;
    protocol::Events events;
};

TEST(OthersViewTest, AClientWithNoTankDrawsEveryTankAndFragAsTheServerHadThem) {
    const MatchSetup setup = MatchSetup::battle(kSeats, false, 50);
    Match server(setup, 11u, std::vector<Driver>(kSeats, Driver::Computer));
    OthersView view;
    view.reshape(setup, std::vector<Driver>(kSeats, Driver::Human));
    protocol::Status status;
    status.match = kMatchNumber;
    status.phase = protocol::Phase::Playing;
    status.setup = setup;
    const std::string names = "ABCD";
    for (int seat = 0; seat < kSeats; ++seat) {
        status.seats[static_cast<std::size_t>(seat)].name = {names[static_cast<std::size_t>(seat)]};
    }

    protocol::Status served = status; // the server's own, as it names each frag
    int renamed = kNoSeat;
    std::uint32_t renameArrives = 0;

    std::deque<Sent> link;
    std::vector<std::vector<TankPose>> poses(kSeats); // the server's, by tick
    // By tick, the last tick each tank moved too fast so far (0: never).
    std::vector<std::vector<std::uint32_t>> lastFast(kSeats);
    std::vector<std::vector<bool>> inPlay(kSeats); // the server's, by tick
    int broughtBack = 0;
    std::vector<std::string> fragsServed;
    std::vector<std::string> fragsShown;
    std::uint32_t shots = 0;
    std::uint32_t shotsOnTime = 0;
    EventList serverEvents;
    EventList shown;
    std::vector<std::pair<std::uint32_t, protocol::WireEvent>> servedShots;

    for (std::uint32_t now = 1; now <= kTicks; ++now) {
        serverEvents.clear();
        server.step(SeatCommands{}, serverEvents);
        Sent events;
        events.arrives = now + kDelay;
        events.events.match = kMatchNumber;
        events.events.tick = now;
        for (const GameEvent& event : serverEvents) {
            if (protocol::sentAsEvent(event.type)) {
                events.events.events.push_back(toWire(event, server));
            }
            if (event.type == GameEventType::Destroyed) {
                char line[GameEvent::kTextBytes];
                MatchFlow::fragLine(view.seatName(served, event.other),
                                    view.seatName(served, event.seat), line);
                if (renamed == kNoSeat) {
                    renamed = event.seat;
                    served.seats[static_cast<std::size_t>(renamed)].name = {'x'};
                    renameArrives = now + kDelay; // after this tick's events
                }
                if (now <= kTicks - kDelay - OthersView::kInterpolationTicks) {
                    fragsServed.push_back(std::to_string(now) + " " + line); // drawn by the end
                }
            }
            if (event.type == GameEventType::Shot) {
                servedShots.emplace_back(now, events.events.events.back());
            }
        }
        link.push_back(events);
        for (int seat = 0; seat < kSeats; ++seat) {
            const TankPose pose = server.tank(seat).pose();
            const bool playing = server.tank(seat).inPlay();
            const bool back = !inPlay[seat].empty() && !inPlay[seat].back() && playing;
            broughtBack += back ? 1 : 0;
            const bool fast =
                !back && !poses[seat].empty() &&
                glm::length(pose.position - poses[seat].back().position) > kFasterThanDriving;
            inPlay[seat].push_back(playing);
            lastFast[seat].push_back(fast ? now : (now > 1 ? lastFast[seat].back() : 0));
            poses[seat].push_back(pose);
        }
        if (now % kSnapshotEvery == 0) {
            Sent snapshot;
            snapshot.arrives = now + kDelay;
            snapshot.isSnapshot = true;
            snapshot.snapshot.match = kMatchNumber;
            snapshot.snapshot.tick = now;
            snapshot.snapshot.seatCount = kSeats;
            for (int seat = 0; seat < kSeats; ++seat) {
                snapshot.snapshot.tanks[static_cast<std::size_t>(seat)] =
                    protocol::viewOf(server.tank(seat));
            }
            link.push_back(snapshot);
        }

        // The client's tick: what has come, the bullets on, the picture.
        while (!link.empty() && link.front().arrives <= now) {
            if (link.front().isSnapshot) {
                view.remember(link.front().snapshot);
            } else {
                view.hold(link.front().events, status);
            }
            link.pop_front();
        }
        if (renamed != kNoSeat && now == renameArrives) {
            status.seats[static_cast<std::size_t>(renamed)] =
                served.seats[static_cast<std::size_t>(renamed)];
        }
        if (now <= kDelay + OthersView::kInterpolationTicks) {
            continue;
        }
        view.moveBullets();
        shown.clear();
        const std::uint32_t drawn = now - kDelay - OthersView::kInterpolationTicks;
        view.draw(static_cast<float>(drawn), 1.0, kNoSeat, status, shown);
        for (const GameEvent& event : shown) {
            if (event.type == GameEventType::Announce) {
                fragsShown.push_back(std::to_string(drawn) + " " + event.text);
            }
        }
        for (const auto& [tick, shot] : servedShots) {
            if (tick == drawn) {
                ++shots;
                shotsOnTime +=
                    view.match().state.bullets.find(shot.owner, shot.firedTick) != nullptr ? 1 : 0;
            }
            // Not before the drawing reaches it.
            if (tick == drawn + 1) {
                EXPECT_EQ(view.match().state.bullets.find(shot.owner, shot.firedTick), nullptr);
            }
        }
        // Where a snapshot was taken, exactly as the server had it.
        if (drawn < kSettleTicks || drawn % kSnapshotEvery != 0) {
            continue;
        }
        for (int seat = 0; seat < kSeats; ++seat) {
            const std::uint32_t fast = lastFast[seat][drawn - 1];
            if (fast != 0 && drawn - fast < kSettleTicks) {
                continue; // the drawing drives over to where it went
            }
            const TankPose& had = poses[seat][drawn - 1];
            const Tank& tank = view.match().tank(seat);
            EXPECT_EQ(tank.inPlay(), inPlay[seat][drawn - 1]) << "seat " << seat << " at " << drawn;
            EXPECT_EQ(tank.position, had.position) << "seat " << seat << " at " << drawn;
            EXPECT_EQ(tank.heading, had.heading);
        }
    }
    ASSERT_FALSE(fragsServed.empty()) << "the battle had no frag to show";
    ASSERT_GT(broughtBack, 0) << "no tank was brought back";
    EXPECT_EQ(fragsShown, fragsServed);
    ASSERT_GT(shots, 0u);
    EXPECT_EQ(shotsOnTime, shots);
}

} // namespace
