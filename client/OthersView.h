#pragma once

#include "game/BulletSystem.h"
#include "game/CollisionDetector.h"
#include "game/GameEvent.h"
#include "game/Match.h"
#include "game/PlayerName.h"
#include "net/Protocol.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The match as the client shows it, all but the tank it predicts: the other tanks drawn
// kInterpolationTicks behind the newest snapshot, between snapshots, never faster than a tank
// drives; the server's events played when the drawing reaches their tick; the shown bullets.
//
// The predicted seat is the one not drawn from snapshots, whose shots and jumps the prediction
// has shown already; kNoSeat for none, when every tank comes from the snapshots (a client that
// drives none). Its own bullets come from the prediction in the tick they are fired (bullets())
// and are matched with the server's by owner and fired tick (BulletSystem::find); the others
// come from the server's events, as do hits. Shown bullets fly as the match's do, against the
// arena alone, until the server says where they ended.
class OthersView {
public:
    static constexpr int kInterpolationTicks = 6; // 100 ms

    OthersView();
    // A match of setup's shape to show, drivers as it is to be made with, restarted. The first
    // call to make before any other.
    // On arena, the built-in one unless told.
    void reshape(const MatchSetup& setup, const std::vector<Driver>& drivers,
                 const Arena& arena = Arena::standard());
    // Every tank back at its start, nothing in flight, nothing remembered: a new match, or its
    // end screen. The next drawing puts the others where they are at once.
    void restart();
    // The screen between matches: the tanks settle, with the lives the server told.
    void endScreen(const protocol::Status& status);
    // Each seat's team, frags and deaths as the server told them.
    void takeScores(const protocol::Status& status);
    // Between matches: the tanks stand.
    void settle() { shown->settle(); }

    // The shown bullets one tick on, as the match moves its bullets: before this tick's shots.
    void moveBullets();
    // Where the predicted seat's shots are shown.
    BulletSystem& bullets() { return shown->state.bullets; }
    // A snapshot of the match under way: the tanks' poses to draw between.
    void remember(const protocol::Snapshot& snapshot);
    // The server's events of the match under way, to play when the drawing reaches them; those
    // beyond kMaxPending waiting are dropped. A frag is named as status has its seats when it
    // comes: whoever leaves the seat before it is drawn, it was theirs.
    void hold(const protocol::Events& events, const protocol::Status& status);

    // The picture at drawnTick, a tick of rate against real time: the match's clock since the
    // phase began, every seat but predictedSeat between snapshots, the events now due, and
    // where the shown bullets meet the arena, appended to events.
    void draw(float drawnTick, double rate, int predictedSeat, const protocol::Status& status,
              EventList& events);
    // The events of status's match due at drawnTick played, appended to events.
    void playDue(float drawnTick, int predictedSeat, const protocol::Status& status,
                 EventList& events);

    // The seat's name as status tells it; empty for no seat of the match.
    const char* seatName(const protocol::Status& status, int seat) const;
    int seatCount() const { return shown->seatCount(); }
    const Match& match() const { return *shown; }
    Match& match() { return *shown; }

private:
    static constexpr std::size_t kMaxPending = 256;
    struct Views {
        std::uint32_t tick = 0;
        bool used = false;
        std::array<protocol::TankView, protocol::kMaxSeats> tanks{};
    };
    struct Pending {
        std::uint16_t match = 0;
        std::uint32_t tick = 0;
        protocol::WireEvent event;
        player_name::Name owner{}; // of a frag, the seats' names when it came
        player_name::Name seat{};
    };

    void place(int seat, float drawnTick, double rate);
    // Plays a server event; false when it is to wait for the drawing to reach it.
    bool play(const Pending& waiting, bool due, int predictedSeat, EventList& events);
    void spawnBullet(const protocol::WireEvent& event);

    std::unique_ptr<Match> shown;
    std::unique_ptr<CollisionDetector> bulletWalls; // the shown bullets against the arena alone
    std::array<Views, 32> views{};                  // by snapshot tick
    std::vector<Pending> pending;                   // server events the drawing has not reached
    bool snapOthers = true;                         // placed at once, not moved to
};
