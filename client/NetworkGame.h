#pragma once

#include "client/ArenaReader.h"
#include "client/PlayerInput.h"
#include "game/CollisionDetector.h"
#include "game/GameEvent.h"
#include "game/Match.h"
#include "game/MatchFlow.h"
#include "net/ClientConnection.h"
#include "net/Protocol.h"

#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Where and how to join a server.
struct NetworkOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = protocol::kDefaultPort;
    std::string password;
    std::uint32_t version = protocol::kVersion; // the protocol version claimed
    std::string name = "Player";                // the one asked to play under
    // Reads and keeps a server's arena (not owned); without one only the built-in arena plays.
    ArenaReader* arenas = nullptr;
};

// A game on a server as one client has it. The server decides everything; the client shows it
// without waiting for it:
//
// - Its clock runs 1 to 3 ticks ahead of the server's, so that each command reaches the server
//   before the tick it is for. The server says how early the commands come; the client steps
//   up to 5 % faster or slower to stay in that window, and jumps when it is far out of it.
// - It predicts its own tank against the arena from its own commands, tick by tick. On each
//   snapshot that carries the tank whole it takes the server's state of it and replays the
//   commands the server has not yet stepped; replayed ticks make no events. The difference is drawn
//   away: an error under kSnapUnits blends out over kCorrectionTicks, a larger one snaps.
// - It draws the other tank kInterpolationTicks behind the newest snapshot, between snapshots,
//   never faster than a tank drives.
// - Its own bullets appear in the tick they are fired and are matched with the server's by
//   owner and fired tick (BulletSystem::find); the others come from the server's events, as do
//   hits, all played when the drawing reaches their tick. Shown bullets fly as the match's do.
// - Its matches take the shape of the server's (the setup in each Status): as many seats, the
//   same mode and rules; each seat's name, team and score are as the server last said.
// - Its matches stand on the server's arena: the built-in one, or the file the server sent
//   before the first admission, read by the options' ArenaReader and refused unless its arena's
//   hash is the one the server named ("Cannot join: FAULT"). It says "Arena: NAME by AUTHOR,
//   from the server" when it takes one, and keeps the file through the reader. A seat taken
//   back over a new connection must find the same arena.
//
// tick() is one step of the client's clock with the player's input; the events of what it
// showed are appended for the scene to play.
//
// It does not trust its server: a tick more than kSaneTicks from its own clock (a status's in
// the future), an acknowledgement or lead as far off, ends the connection (ClientConnection),
// and however far the clock or a snapshot moves, a tick replays at most kHistory ticks.
class NetworkGame : private ServerListener {
public:
    static constexpr int kLeadLow = 1; // ticks ahead of the server the commands are kept
    static constexpr int kLeadHigh = 3;
    static constexpr double kMaxRateChange = 0.05;
    static constexpr float kSnapUnits = 2.0f;
    static constexpr int kCorrectionTicks = 6;    // 100 ms
    static constexpr int kInterpolationTicks = 6; // 100 ms

    // The most ticks a server's message may be from the client's clock.
    static constexpr std::uint32_t kSaneTicks = 600; // 10 s
    static constexpr std::uint32_t kHistory = 128;

    // The connection's lines go to console, its faults to errors.
    NetworkGame(const NetworkOptions& options, std::ostream& console, std::ostream& errors);

    // One tick. input is the player's for this tick; with keysTaken another screen (the
    // options) has its keys, and the game sees none.
    void tick(const PlayerInput& input, bool keysTaken, EventList& events);
    // Tells the server the player goes, and waits up to a second for it to hear.
    void leave() { connection.leave(); }
    // Refused, or the connection lost: the client goes on without the server.
    bool over() const { return connection.over(); }
    bool joined() const { return connection.state() == ClientConnection::State::Joined; }
    // The link was lost and the client is getting its seat back.
    bool reconnecting() const {
        return connection.state() == ClientConnection::State::Reconnecting;
    }
    // The game ended because the seat could not be taken back.
    bool seatLost() const { return connection.seatLost(); }

    // The rate of the client's clock against real time, within 1 ± kMaxRateChange.
    double stepRate() const { return rate; }
    std::uint32_t roundTripMs() const { return connection.roundTripMs(); }
    const protocol::Status& status() const { return serverStatus; }
    protocol::Phase phase() const { return serverStatus.phase; }
    // The seat the player's tank is drawn in: the one they drive, or will drive.
    int ownSeat() const { return seat; }
    // The player drives a tank in the match under way.
    bool drives() const {
        return serverStatus.phase == protocol::Phase::Playing && serverStatus.yourSeat >= 0;
    }
    // ENTER was pressed on this title or end screen, and the server told.
    bool ready() const { return readySent; }
    // The seat's name, and the round trip to its person in ms (−1: the computer's, or unknown).
    const char* seatName(int seat) const;
    int seatRoundTripMs(int seat) const;
    // The match as the client shows it.
    const Match& shown() const { return *view; }

    // The client's tick, and its own tank as predicted for it (tests).
    std::uint32_t clientTick() const { return clock; }
    const Tank& predictedTank() const { return predicted->tank(seat); }
    // How early the commands come, as the client has it, in ticks.
    float lead() const { return leadEstimate; }
    // The newest snapshot's tick: the server's time as last heard (tests).
    std::uint32_t serverTick() const { return newestSnapshot; }
    // The most ticks replayed in one tick so far (tests).
    std::uint32_t mostReplayed() const { return replayedMost; }
    const ClientConnection& link() const { return connection; }
    // The arena the matches stand on, and its hash.
    const Arena& arena() const { return played; }
    std::uint64_t arenaHash() const { return playedHash; }

private:
    struct Views {
        std::uint32_t tick = 0;
        bool used = false;
        std::array<protocol::TankView, protocol::kMaxSeats> tanks{};
    };
    struct Pending {
        std::uint16_t match = 0;
        std::uint32_t tick = 0;
        protocol::WireEvent event;
    };

    bool onArena(std::uint64_t hash, const std::string& file, std::string& fault) override;
    bool onAdmitted(const protocol::Admitted& admitted) override;
    bool onStatus(const protocol::Status& status) override;
    bool onEvents(const protocol::Events& events) override;
    bool onSnapshot(const protocol::Snapshot& snapshot) override;
    // Whether tick is within kSaneTicks of the client's clock, either way.
    bool near(std::uint32_t tick) const;

    // The snapshot taken in by the last service: the clock, the other tank's path, and the own
    // tank's state with the commands since replayed.
    void takeSnapshot();
    void reconcile(const protocol::Snapshot& snapshot);
    // Both tanks back at their start, nothing in flight: a new match, or its end screen.
    void restartShown();
    // The own tank's ticks from predictedTick to the clock, at most kHistory of them (the
    // commands kept); replayed ones make no events.
    void predictTo(std::uint32_t tick, EventList* events);
    void sendCommands();
    // The picture at the drawing's tick: the own tank with its correction, the other one
    // between snapshots, the bullets, and the server's events now due.
    void updateShown(EventList& events);
    void placeOther(int other, float renderTick, bool snap);
    void playDue(float renderTick, EventList& events);
    // Plays a server event; false when it is to wait for the drawing to reach it.
    bool play(const protocol::WireEvent& event, bool due, EventList& events);
    void spawnBullet(const protocol::WireEvent& event);
    // Each seat's team, frags and deaths as the server told them.
    void applyScores(const protocol::Status& status);
    // The predicted and shown matches made anew in setup's shape, unless they have it.
    void takeShape(const MatchSetup& setup);

    std::ostream& console;
    ArenaReader* arenas;
    Arena played = Arena::standard();
    std::uint64_t playedHash = played.hash();
    bool admittedOnce = false; // an arena was taken: a seat taken back keeps it
    ClientConnection connection;
    EventList* announced = nullptr; // where the server's news goes while it is taken in
    double rate = 1.0;
    std::uint32_t clock = 0; // the tick whose command was made last
    bool synced = false;     // the clock has been set from the server's
    bool leadKnown = false;  // the server has said how early the commands come
    int holdResync = 0;      // ticks before the lead may move the clock again
    // The lead reported is noisy: the link's jitter, and frames that make several ticks at
    // once (the first of them is the latest to arrive). The clock follows the least of the
    // recent reports, about half a second of them.
    static constexpr std::size_t kLeadWindow = 16; // snapshots
    float leadEstimate = 2.0f;                     // ticks, the least of the recent reports
    std::array<float, kLeadWindow> recentLeads{};
    std::size_t leadsSeen = 0; // reports since the clock last moved
    float behind = 0.0f;       // the clock's ticks past a snapshot's when it arrives
    std::uint32_t newestSnapshot = 0;
    bool snapshotWaiting = false;
    protocol::Snapshot latest;
    std::int16_t heardLead = protocol::kNoLead; // the least lead since the last snapshot taken
    protocol::Status serverStatus;
    int seat = 0;
    bool readySent = false;
    std::uint32_t ack = 0; // the newest command the server has

    MatchSetup shape;
    std::unique_ptr<Match> predicted;
    std::uint32_t predictedTick = 0;             // the tick predicted's own tank stands at
    std::array<TankCommand, kHistory> history{}; // by tick
    std::uint32_t replayedNow = 0;               // ticks replayed in this tick
    std::uint32_t replayedMost = 0;              // in any tick
    EventList replayEvents;
    protocol::Commands outgoing;

    std::unique_ptr<Match> view;
    std::unique_ptr<CollisionDetector> bulletWalls; // the shown bullets against the arena alone
    std::array<Views, 32> views{};                  // by snapshot tick
    std::vector<Pending> pending;                   // server events the drawing has not reached
    glm::vec3 correction{0.0f};
    int correctionLeft = 0;
    bool snapOther = true;
};
