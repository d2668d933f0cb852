#pragma once

#include "client/GameClient.h"
#include "client/SettingsFile.h"
#include "game/GameEvent.h"
#include "platform/Window.h"
#include "render/DrawList.h"
#include "render/RadarContent.h"
#include "scene/FrameObserver.h"
#include "scene/LoadingScreen.h"
#include "scene/RenderOptions.h"
#include "scene/Renderer.h"
#include "scene/SceneSound.h"
#include "scene/ScreenTexts.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

// How a frame falls between the game's fixed steps, and how fast frames come.
struct FrameTiming {
    float blend = 1.0f;           // between the last two steps: 0 the previous, 1 the latest
    float seconds = 0.0f;         // real time since the previous frame
    double framesPerSecond = 0.0; // over the last second
    double frameMilliseconds = 0.0;
};

// The whole game on screen and speaker: it loads every asset, steps the game client with the
// window's input, turns what happened into console lines, particle bursts and sounds, and
// draws each frame. Exactly one exists, while the window and its GL context do. It hears the
// window's keys for the display options and the sound switch, and captures the pointer for mouse
// aim while the client wants it. What happens in the title's backdrop only shows: its bursts, no
// lines and no sounds.
class Scene : private KeyListener {
public:
    // How the scene loads: all at once, showing nothing until its first frame, or behind the
    // title (LoadingScreen), which shows as soon as the font has loaded. Behind the title, its
    // first frames take the game's steps and input as every frame does, but show the loading
    // screen while each part of a frame is drawn once behind it (Renderer::rehearse), so that
    // the frames after them wait for nothing.
    enum class Loading { AllAtOnce, BehindTheTitle };

    // The seeds make the computer opponent's choices and the particle bursts repeatable. replay
    // and recorder are handed to the client (see GameClient); they may be null. The settings
    // apply at once; settingsFile, when given, keeps them each time they change (not owned).
    // Games on this machine and the title's backdrop play on arena.
    Scene(Window& window, std::uint64_t aiSeed, unsigned int particleSeed,
          const Recording* replay = nullptr, RecordingWriter* recorder = nullptr,
          const Settings& settings = Settings(), const SettingsFile* settingsFile = nullptr,
          const Arena& arena = Arena::standard(), Loading loading = Loading::AllAtOnce);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // One tick of the game with the input read from the window.
    void update();
    // The player asked to leave the game from a tick's input, or a replay ended.
    bool quitRequested() const { return client.quitRequested(); }
    // Draws one frame, blended between the last two steps as timing says, and presents it,
    // telling frameObserver, when set, where each phase begins and when the frame ends (a
    // frame that shows the loading screen marks only its present and its end). The sound's
    // listener and engines follow the same blend.
    void render(const FrameTiming& timing);
    // Whether every part of a frame has been drawn once: nothing is left to build.
    bool built() const { return rehearsal == kRehearsed; }

    // The world as it stands blend of the way from the previous step to the latest.
    void describeWorld(float blend);
    // The radar's view of it at the same moment, turned with the camera.
    void describeRadar(float blend);
    // The crosshair where the player's shot would land, and the hull's marker, in a window of
    // the given size seen through viewProjection; none but in a running match.
    void describeAim(float blend, const glm::mat4& viewProjection, glm::ivec2 window);
    // Brightness of the whole picture: dimmed behind the title and end screens, and a little
    // behind the list of controls over a match.
    float darken() const;

    Window& window;
    RenderOptions options;
    GameClient client;
    LoadingScreen loading;
    Renderer renderer;
    SceneSound sound;                       // its lines follow the renderer's start-up lines
    DrawList drawList;                      // of the last frame
    RadarContent radar;                     // of the last frame that showed it (pieces: fixed)
    AimMarks aimMarks;                      // of the last frame
    ScreenTexts texts;                      // of the last frame
    FrameObserver* frameObserver = nullptr; // not owned
    RenderQuality quality;                  // the detail frames are drawn with
    Bounds sceneBounds; // around every piece of the arena, and so around all that moves in it

private:
    // Carries out the settings the scene owns the means of: the window, the detail, the
    // sound's levels, the radar and the arena (loaded by its name: one line on a fault).
    void applySettings(const Settings& settings);
    // What the scene works out once per arena, for the arena of the match shown: the pieces'
    // boxes, the radar's pieces and circle, the box around the scene and the shadow map's reach.
    // Makes no GL object.
    void takeArena();
    // What a frame of the window's size shows, blended as timing says; the radar when shown.
    FrameContent describeFrame(const FrameTiming& timing, glm::ivec2 size, bool radarShown);

    // Presents the frame drawn, telling frameObserver.
    void present();

    const SettingsFile* settingsFile;
    bool radarSetting; // the settings' radar as last carried out: F6 switches the radar itself
    std::string arenaSetting;       // the settings' arena as last carried out
    std::uint64_t arenaShown;       // the hash of the arena takeArena worked out
    std::vector<Bounds> pieceBoxes; // the world box of each arena piece, in the arena's order
    int rehearsal = kRehearsed;     // the part of a frame the next frame rehearses
    static constexpr int kRehearsed = -1;

    void onKey(int key, KeyAction action) override;
    void handleEvents();
};
