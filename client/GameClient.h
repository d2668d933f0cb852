#pragma once

#include "client/AttractMode.h"
#include "client/ChaseCamera.h"
#include "client/GameFlow.h"
#include "client/NetworkGame.h"
#include "client/OptionsMenu.h"
#include "client/PlayerControls.h"
#include "client/Recording.h"
#include "client/RecordingWriter.h"
#include "client/Settings.h"
#include "game/GameEvent.h"
#include "platform/InputState.h"

#include <glm/glm.hpp>

#include <iostream>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>

// The game as one player has it, above the rules and below the drawing: the player's controls
// turned into their tank's command, the screens over the player's match, the title's live
// backdrop, the chase camera, and recording or replaying what the game took from the player.
// The player's match is played here against the computer, or on a server (join()); when the
// server refuses or is lost, the game is back on its own title screen.
//
// A tick: the controls are read once; a replay gives the tick's keys and command instead of
// the player's; the title's backdrop steps while the title shows; the screens and the match
// step; a recording takes the tick; then the camera follows the player's tank from where the
// tick's collisions left it.
class GameClient {
public:
    // seed seeds the computer's choices, and the title's backdrop from another value of it.
    // replay, when given, plays a recording instead of the player's input (it must outlive the
    // client); recorder, when given, records the game. Neither is owned. settings are the
    // player's, as last kept.
    GameClient(std::uint64_t seed, const Recording* replay, RecordingWriter* recorder,
               const Settings& settings = Settings());

    // Plays on the server options name from now on; its lines go to console, its faults to
    // errors.
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

    // The title shows the backdrop's match, every other screen the player's.
    bool showingTitle() const;
    bool matchRunning() const;
    const Match& shownMatch() const;
    // The seat of the player's tank in the match shown.
    int localSeat() const { return network ? network->ownSeat() : GameFlow::kPlayerSeat; }
    // The end screen's headline ("YOU WON!", "GAME OVER", "DRAW") and the line under it.
    const char* headline() const;
    const char* resultLine() const;
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
    GameFlow flow;
    AttractMode attract;
    ChaseCamera camera;
    std::unique_ptr<NetworkGame> network; // while playing on a server
    EventList events;                     // of the last tick, from the match shown
    Settings settings;
    OptionsMenu menu; // opened from the title (O, the pad's Y)

private:
    void networkTick(const PlayerInput& player);
    // The chase camera after a tick of the match shown.
    void follow(const PlayerInput& player);
    void describeSeats();
    void printStateHash() const;
    // What of the settings the client itself carries out: the camera's drag, and the rules
    // while no match has started.
    void applySettings();
    // A replay's match starts from the recording's state.
    void restoreReplayStart();
    // A replay's state is not the recording's: says so and ends the replay with status 1.
    void diverged(std::uint32_t matchTick);

    const Recording* replay;
    RecordingWriter* recorder;
    std::uint32_t ticks = 0;  // taken so far
    std::size_t nextHash = 0; // of the replay's hashes
    bool quit = false;
    bool replayEnded = false;
    bool settingsChanged = false;
    int status = 0;
    char seats[96] = {};
    const char* notice = "";
};
