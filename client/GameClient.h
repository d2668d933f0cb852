#pragma once

#include "client/AttractMode.h"
#include "client/ChaseCamera.h"
#include "client/FeedStream.h"
#include "client/FindGamesScreen.h"
#include "client/MessageFeed.h"
#include "client/NetworkGame.h"
#include "client/OptionsMenu.h"
#include "client/PlayerControls.h"
#include "client/Recording.h"
#include "client/RecordingWriter.h"
#include "client/Scoreboard.h"
#include "client/Settings.h"
#include "game/GameEvent.h"
#include "game/MatchFlow.h"
#include "platform/InputState.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>

// The game as one player has it, above the rules and below the drawing: the player's controls
// turned into their tank's command, the screens over the player's match, the title's live
// backdrop, the chase camera, and recording or replaying what the game took from the player.
// The player's match is played here against the computer, or on a server (join()); when the
// server refuses the player or cannot be reached, the game says why and waits for ESC (or ENTER,
// to play on its own); when a joined server is lost, the game is back on its own title screen.
// What the connection says, and who joins and leaves, shows in the message feed as well.
//
// A tick: the controls are read once; a replay gives the tick's keys and command instead of
// the player's; the title's backdrop steps while the title shows; the screens and the match
// step; a recording takes the tick; then the camera follows the player's tank from where the
// tick's collisions left it.
class GameClient {
public:
    // The player's seat in a game on this machine.
    static constexpr int kPlayerSeat = 0;

    // seed seeds the computer's choices, and the title's backdrop from another value of it.
    // replay, when given, plays a recording instead of the player's input (it must outlive the
    // client); recorder, when given, records the game. Neither is owned. settings are the
    // player's, as last kept. Games on this machine and the title's backdrop play on arena.
    GameClient(std::uint64_t seed, const Recording* replay, RecordingWriter* recorder,
               const Settings& settings = Settings(), const Arena& arena = Arena::standard());

    // Games on this machine and the title's backdrop play on arena from now on: the title's
    // backdrop at once, the player's from the next match (the game goes back to its title unless
    // a match runs). The Scene rebuilds what it drew of the arena before (shownArenaHash).
    void setArena(const Arena& arena);
    // The hash of the arena of the match shown (shownMatch): a server's in its matches.
    std::uint64_t shownArenaHash() const {
        return network && !showingTitle() ? network->arenaHash() : arenaHash;
    }

    // Plays on the server options name from now on; its lines go to console, its faults to
    // errors, and both to the feed.
    void join(const NetworkOptions& options, std::ostream& console,
              std::ostream& errors = std::cerr);
    bool networked() const { return network != nullptr; }
    // One tick with the input the window gathered.
    void tick(InputState& input);
    // The rate of the game's clock against real time: 1, or what a server's clock asks for.
    double stepRate() const { return network ? network->stepRate() : 1.0; }
    // The game is over: a recording gets its end, a server is told the player goes. Prints
    // "Replay state hash: HASH at tick N" when a recording is made, or when a replay ended.
    void finish();

    // Whether the settings changed since the last call: the options screen changed one, or
    // the window mode was switched. The caller applies and keeps them.
    bool takeSettingsChange();
    // The window went fullscreen or back (F11).
    void setFullscreen(bool fullscreen);

    // The player asked to leave (ESC, the pad's BACK held), a replay ran out or went astray.
    bool quitRequested() const { return quit; }
    // 0, or 1 when a replay went astray or a recording could not be written.
    int exitStatus() const { return status; }

    // A join failed before the server let the player in: the window shows why (joinFailure)
    // until ESC quits or ENTER plays on alone.
    bool joinFailed() const { return joinFailure[0] != '\0'; }
    // The pointer is to be captured: mouse aim in a running match, no menu over it.
    bool wantsPointer() const;
    // The title shows the backdrop's match, every other screen the player's.
    bool showingTitle() const;
    bool matchRunning() const;
    const Match& shownMatch() const;
    // The seat of the player's tank in the match shown; a spectator's, the tank it follows.
    int localSeat() const { return network ? network->shownSeat() : kPlayerSeat; }
    // On a server with every seat taken: the player watches.
    bool watching() const { return network && network->watching(); }
    // The outcome of the last match decided.
    const Outcome& outcome() const;
    // The end screen's headline ("YOU WON!", "GAME OVER", "DRAW") and the line under it.
    const char* headline() const;
    const char* resultLine() const;
    // The name of the seat's tank, and the round trip to its person in ms (−1: none known).
    const char* seatName(int seat) const;
    int seatRoundTripMs(int seat) const;
    // The seats of the match shown, ranked (kept up to date every tick of a battle).
    const Scoreboard& scores() const { return ranking; }
    // TAB is held.
    bool scoreboardShown() const { return showScores; }
    // Who plays which seat, for the title and end screens of a networked game, or that the link
    // is being mended, in a match too; after a networked game whose seat was lost, that it was.
    const char* seatsLine() const { return network ? seats : notice; }
    // The round trip to the server in milliseconds, or −1 without one.
    int roundTripMs() const { return network ? static_cast<int>(network->roundTripMs()) : -1; }
    glm::vec3 eyeAt(float blend) const;
    glm::vec3 targetAt(float blend) const;
    glm::mat4 view(float blend) const;
    // For a window of width over height aspect.
    static glm::mat4 projection(float aspect = ChaseCamera::kAspect) {
        return ChaseCamera::projection(aspect);
    }
    // Opacity of the player's tank.
    float playerOpacity() const { return camera.playerOpacity(); }

    PlayerControls controls;
    // The game on this machine: the player in the first seat, the computer in the others. Made
    // anew when the options change its setup before the first match.
    std::unique_ptr<MatchFlow> flow;
    Arena arena; // of the games on this machine
    AttractMode attract;
    ChaseCamera camera;
    std::unique_ptr<NetworkGame> network; // while playing on a server
    EventList events;                     // of the last tick, from the match shown
    Settings settings;
    OptionsMenu menu;      // opened from the title or the end screen (O, the pad's Y)
    FindGamesScreen games; // opened from the title (G)
    std::string password;  // for a game joined from the games screen
    MessageFeed feed;
    char joinFailure[FeedStream::kLineLength + 1] = {}; // why the join failed; "" when it did not

private:
    void networkTick(PlayerInput& player);
    // The title's games screen takes the tick while it shows (or opens); whether it did.
    bool findGames(const PlayerInput& player);
    // Mouse aim: the camera turned by the pointer, the keys and the pad's right stick, and the
    // turret to be aimed where it looks. A new match starts looking where the turret points.
    void aim(PlayerInput& player, const Tank& tank);
    // The chase camera after a tick of the match shown.
    void follow(const PlayerInput& player);
    void describeSeats();
    // Who came and went since the last status, into the feed.
    void announceSeats(const protocol::Status& status);
    void printStateHash() const;
    // What of the settings the client itself carries out: the camera's drag, and the match's
    // setup while no match has started.
    void applySettings();
    // The player's view of a match decided among events from index first: MatchWon or
    // MatchLost appended.
    void reportOutcome(std::size_t first);
    // Whether the player's seat, or its team, won.
    bool playerWon(const Outcome& outcome) const;
    // A replay's match starts from the recording's state.
    void restoreReplayStart();
    // A replay's state is not the recording's: says so and ends the replay with status 1.
    void diverged(std::uint32_t matchTick);

    std::uint64_t seed;
    std::uint64_t arenaHash;       // arena's
    std::uint64_t cameraArena = 0; // the hash of the arena the camera's room was worked out for
    const Recording* replay;
    RecordingWriter* recorder;
    std::uint32_t ticks = 0;  // taken so far
    std::size_t nextHash = 0; // of the replay's hashes
    bool quit = false;
    bool replayEnded = false;
    bool settingsChanged = false;
    bool showScores = false;
    Scoreboard ranking;
    char result[GameEvent::kTextBytes] = {}; // the last battle decided: who won
    bool following = false;                  // the camera followed a running match at the last tick
    int status = 0;
    char seats[96] = {};
    std::unique_ptr<FeedStream> networkConsole; // what the network game writes its lines to
    std::unique_ptr<FeedStream> networkErrors;  // and its faults
    bool everJoined = false;
    bool occupantsKnown = false;
    std::array<protocol::Occupant, protocol::kMaxSeats> occupants{}; // as the last status had them
    const char* notice = "";
};
