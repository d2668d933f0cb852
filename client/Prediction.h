#pragma once

#include "client/PlayerInput.h"
#include "game/BulletSystem.h"
#include "game/GameEvent.h"
#include "game/Match.h"
#include "game/TankCommand.h"
#include "net/Protocol.h"

#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The own tank as the client predicts it. It keeps the commands of the last kHistory ticks and
// steps the tank with them against the arena alone (Match::stepAlone), tick by tick, as soon as
// each is made. On a snapshot that carries the tank whole it takes the server's state of it and
// replays the commands the server has not yet stepped; replayed ticks make no events and fire
// no bullets. The difference is drawn away: an error under kSnapUnits blends out over
// kCorrectionTicks, a larger one snaps.
//
// However far the clock or a snapshot moves, a tick replays at most kHistory ticks: the ticks
// past the commands kept are skipped, the tank standing through them.
class Prediction {
public:
    static constexpr std::uint32_t kHistory = 128; // ticks of commands kept
    static constexpr float kSnapUnits = 2.0f;
    static constexpr int kCorrectionTicks = 6; // 100 ms

    Prediction();
    // A match of setup's shape to predict in, drivers as it is to be made with; the tank at its
    // start, nothing to blend. The first call to make before any other.
    // On arena, the built-in one unless told.
    void reshape(const MatchSetup& setup, const std::vector<Driver>& drivers,
                 const Arena& arena = Arena::standard());
    // The tank back at its start, nothing to blend.
    void restart();
    // The tank stands at tick: the ticks after it are the ones to predict.
    void standAt(std::uint32_t tick) { predictedTick = tick; }
    // A new tick of the client's: nothing replayed in it yet.
    void beginTick() { replayedNow = 0; }

    // The command for tick from the player's input and seat's tank as predicted, kept.
    void command(std::uint32_t tick, const PlayerInput& input, int seat);
    // The clock jumped forward from one tick to another: the ticks between repeat the last
    // command, as the server does.
    void repeatLast(std::uint32_t from, std::uint32_t to);
    // The newest command the server has.
    void acknowledge(std::uint32_t tick) { ack = tick; }
    // The commands the server does not have, up to tick, at most as many as a datagram takes,
    // stamped with match.
    const protocol::Commands& unacknowledged(std::uint32_t tick, std::uint16_t match);

    // Seat's tank stepped to tick: its events appended to events, the bullets it fires added
    // to shown, named by owner and fired tick as the server names them.
    void step(std::uint32_t tick, int seat, EventList& events, BulletSystem& shown);
    // Seat's tank stepped to tick silently: no events, no bullets.
    void replayTo(std::uint32_t tick, int seat);
    // The server's state of seat's tank at serverTick, and the commands since replayed to
    // tick; what the tank moves by is to be drawn away.
    void reconcile(std::uint32_t serverTick, const Tank& server, std::uint32_t tick, int seat);
    // Seat's tank drawn into shown: as predicted, with a tick's share of the correction drawn
    // away, moving from where shown stood.
    void draw(int seat, Tank& shown);

    const Tank& tank(int seat) const { return predicted->tank(seat); }
    // The most ticks replayed in one tick so far.
    std::uint32_t mostReplayed() const { return replayedMost; }

private:
    // Seat's tank stepped to tick; with shown null, silently.
    void advance(std::uint32_t tick, int seat, EventList* events, BulletSystem* shown);

    std::unique_ptr<Match> predicted;
    std::uint32_t predictedTick = 0;             // the tick predicted's own tank stands at
    std::array<TankCommand, kHistory> history{}; // by tick
    std::uint32_t ack = 0;
    std::uint32_t replayedNow = 0;  // ticks replayed in this tick
    std::uint32_t replayedMost = 0; // in any tick
    EventList replayEvents;
    protocol::Commands outgoing;
    glm::vec3 correction{0.0f};
    int correctionLeft = 0;
};
