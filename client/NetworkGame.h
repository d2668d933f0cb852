#pragma once

#include "client/ArenaReader.h"
#include "client/ClockSync.h"
#include "client/OthersView.h"
#include "client/PlayerInput.h"
#include "client/Prediction.h"
#include "client/WatchedSeat.h"
#include "game/GameEvent.h"
#include "game/Match.h"
#include "net/ClientConnection.h"
#include "net/Protocol.h"

#include <cstdint>
#include <ostream>
#include <string>

// Where and how to join a server.
struct NetworkOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = protocol::kDefaultPort;
    std::string password;
    std::uint32_t version = protocol::kVersion; // the protocol version claimed
    std::string name = "Player";                // the one asked to play under
    bool watch = false;                         // to watch only, whether a seat is free or not
    // Reads and keeps a server's arena (not owned); without one only the built-in arena plays.
    ArenaReader* arenas = nullptr;
};

// A game on a server as one client has it. The server decides everything; the client shows it
// without waiting for it. This is the owner that wires the connection to the parts that do so:
//
// - ClockSync: the client's tick, kept 1 to 3 ticks ahead of the server's.
// - Prediction: its own tank from its own commands, reconciled on the snapshots that carry it.
// - OthersView: the shown match, the other tanks between snapshots, the server's events when
//   the drawing reaches them, the shown bullets.
//
// Its matches take the shape of the server's (the setup in each Status): as many seats, the
// same mode and rules; each seat's name, team and score are as the server last said.
//
// When every seat is held by a person it watches (WatchedSeat): every tank drawn as the
// others are, the one followed chosen with Left and Right, no commands sent; the server may give
// it a seat at a match's end.
//
// Its matches stand on the server's arena: the built-in one, or the file the server sent before
// the first admission, read by the options' ArenaReader and refused unless its arena's hash is
// the one the server named ("Cannot join: FAULT"). It says "Arena: NAME by AUTHOR, from the
// server" when it takes one, and keeps the file through the reader. A seat taken back over a new
// connection must find the same arena.
//
// tick() is one step of the client's clock with the player's input; the events of what it
// showed are appended for the scene to play.
//
// It does not trust its server: a tick more than ClockSync::kSaneTicks from its own clock (a
// status's in the future), an acknowledgement or lead as far off, ends the connection
// (ClientConnection), and however far the clock or a snapshot moves, a tick replays at most
// kHistory ticks.
class NetworkGame : private ServerListener {
public:
    static constexpr std::uint32_t kHistory = Prediction::kHistory;

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

    // The rate of the client's clock against real time, within 1 ± ClockSync::kMaxRateChange.
    double stepRate() const { return clock.rate(); }
    std::uint32_t roundTripMs() const { return connection.roundTripMs(); }
    const protocol::Status& status() const { return serverStatus; }
    protocol::Phase phase() const { return serverStatus.phase; }
    // The seat the player's tank is drawn in: the one they drive, or will drive; kWaiting while
    // watching.
    int ownSeat() const { return seat; }
    // In with no seat: every tank is someone else's.
    bool watching() const { return connection.watching(); }
    // The seat whose tank the camera follows: the own one, or the one a spectator follows.
    int shownSeat() const { return watching() ? watchedSeat.followed() : seat; }
    // The player drives a tank in the match under way.
    bool drives() const {
        return serverStatus.phase == protocol::Phase::Playing && serverStatus.yourSeat >= 0;
    }
    // ENTER was pressed on this title or end screen, and the server told.
    bool ready() const { return readySent; }
    // The seat's name, and the round trip to its person in ms (−1: the computer's, or unknown).
    const char* seatName(int seat) const { return others.seatName(serverStatus, seat); }
    int seatRoundTripMs(int seat) const;
    // The match as the client shows it.
    const Match& shown() const { return others.match(); }

    // The client's tick, and its own tank as predicted for it (tests).
    std::uint32_t clientTick() const { return clock.tick(); }
    const Tank& predictedTank() const { return prediction.tank(seat); }
    // How early the commands come, as the client has it, in ticks.
    float lead() const { return clock.lead(); }
    // The newest snapshot's tick: the server's time as last heard (tests).
    std::uint32_t serverTick() const { return newestSnapshot; }
    // The most ticks replayed in one tick so far (tests).
    std::uint32_t mostReplayed() const { return prediction.mostReplayed(); }
    const ClientConnection& link() const { return connection; }
    // The arena the matches stand on, and its hash.
    const Arena& arena() const { return played; }
    std::uint64_t arenaHash() const { return playedHash; }

private:
    bool onArena(std::uint64_t hash, const std::string& file, std::string& fault) override;
    bool onAdmitted(const protocol::Admitted& admitted) override;
    bool onStatus(const protocol::Status& status) override;
    bool onEvents(const protocol::Events& events) override;
    bool onSnapshot(const protocol::Snapshot& snapshot) override;

    // The snapshot taken in by the last service: the clock, the others' path, and the own
    // tank's state with the commands since replayed.
    void takeSnapshot();
    // The tick's part for a player: its command made, predicted and sent, ENTER told.
    void playerTick(const PlayerInput& taken, EventList& events);
    // And for a spectator: the tank followed, and a sign of life now and then.
    void spectatorTick(const PlayerInput& taken);
    // A new match, or its end screen: every tank at its start, nothing in flight.
    void restartShown();
    // The seat predicted, kNoSeat when the player drives none.
    int predictedSeat() const { return drives() ? seat : kNoSeat; }
    // The predicted and shown matches made anew in setup's shape, unless they have it.
    void takeShape(const MatchSetup& setup);

    std::ostream& console;
    ArenaReader* arenas;
    Arena played = Arena::standard();
    std::uint64_t playedHash = played.hash();
    bool admittedOnce = false; // an arena was taken: a seat taken back keeps it
    ClientConnection connection;
    EventList* announced = nullptr; // where the server's news goes while it is taken in
    ClockSync clock;
    Prediction prediction;
    OthersView others;
    std::uint32_t newestSnapshot = 0;
    bool snapshotWaiting = false;
    protocol::Snapshot latest;
    protocol::Status serverStatus;
    int seat = 0;
    WatchedSeat watchedSeat;
    bool readySent = false;
    MatchSetup shape;
};
