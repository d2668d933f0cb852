// Brakkel: one player against one computer tank in a walled arena. Opens the window, builds the
// scene and runs the game loop: the game advances in fixed steps as real time passes, and every
// frame is drawn blended between the last two steps. --record and --replay record a game to a
// file and play it back. --host serves a networked game on a thread of its own and plays in it
// over loopback like any client; --join plays on another's server, or without an address lists
// the games on the local network.
#include "app/CommandLine.h"
#include "app/GameLoop.h"
#include "app/GlobalGlState.h"
#include "app/LanListing.h"
#include "assets/ArenaCache.h"
#include "assets/ArenaFile.h"
#include "assets/ArenaFolders.h"
#include "client/FeedStream.h"
#include "client/Recording.h"
#include "client/RecordingWriter.h"
#include "client/SettingsFile.h"
#include "net/ConsoleQueue.h"
#include "net/ServerThread.h"
#include "platform/GlCheck.h"
#include "platform/Window.h"
#include "platform/WindowSize.h"
#include "scene/Scene.h"

#include <GL/glew.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <malloc.h>
#include <memory>
#include <sstream>
#include <string_view>

namespace {

constexpr int kExitLibraryFailed = 1;
constexpr int kExitWindowFailed = -1;
constexpr int kExitBadFile = 1;
constexpr int kVsync = 1;                           // swap at the display's refresh
constexpr unsigned int kParticleSalt = 0x9E3779B9u; // the bursts draw apart from the opponent
constexpr int kExitNoServer = 1;
const char* const kLoopback = "127.0.0.1";

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    const std::optional<LaunchOptions> options = parseCommandLine(argc, argv, status);
    if (!options) {
        return status;
    }
    if (options->findGames) {
        return listLanGames(std::cout);
    }
    // Files from outside are read whole and checked before the window opens.
    std::unique_ptr<Recording> replay;
    if (!options->replayPath.empty()) {
        replay = std::make_unique<Recording>();
        std::string error;
        if (!readRecording(options->replayPath, *replay, error)) {
            std::cerr << error << std::endl;
            return kExitBadFile;
        }
    }
    // The player's settings: what cannot be taken is reported, on the console and in the
    // window once it opens, and left at its default.
    const SettingsFile settingsFile(SettingsFile::standardPath());
    MessageFeed settingsNews;
    FeedStream settingsErrors(std::cerr, settingsNews);
    const Settings settings = settingsFile.load(settingsErrors);
    // The arena: --arena's, else the settings' unless replaying (a replay plays on --arena's
    // alone). A fault is said now, and again in the window once it opens.
    const ArenaFolders arenaFolders = ArenaFolders::standard();
    std::ostringstream arenaFault;
    Arena arena = Arena::standard();
    if (!options->arenaPath.empty()) {
        const std::string found = arenaFolders.resolve(options->arenaPath);
        arena = ArenaFile::load(found.empty() ? options->arenaPath : found, arenaFault);
    } else if (!replay) {
        arena = arenaFolders.load(settings.arena, arenaFault);
    }
    std::cerr << arenaFault.str() << std::flush;
    if (replay && replay->arenaHash != arena.hash()) {
        std::cerr << "Cannot replay " << options->replayPath
                  << ": it was played on another arena than "
                  << (options->arenaPath.empty() ? "the built-in one" : options->arenaPath)
                  << "; give that arena's file with --arena" << std::endl;
        return kExitBadFile;
    }
    std::unique_ptr<RecordingWriter> recorder;
    if (!options->recordPath.empty()) {
        recorder = std::make_unique<RecordingWriter>(options->recordPath);
        if (!recorder->opened()) {
            std::cerr << recorder->openError() << std::endl;
            return kExitBadFile;
        }
    }

    const auto seed = static_cast<unsigned int>(std::time(nullptr));
    // The host's server runs whatever the window does, from before it opens to after it closes;
    // its lines go out through a queue, so that a console that is full or closed never holds up
    // its ticks (a closed one is an error to write to, not the end).
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<ConsoleQueue> serverConsole;
    std::unique_ptr<Server> server;
    std::unique_ptr<ServerThread> serverThread;
    if (options->host) {
        ServerOptions served = options->served;
        served.seed = seed;
        served.arena = arena;
        if (arena.hash() != Arena::standard().hash()) {
            served.arenaFile = ArenaFile::write(arena);
        }
        serverConsole = std::make_unique<ConsoleQueue>(STDOUT_FILENO);
        server = std::make_unique<Server>(served, serverConsole->stream());
        if (!server->listening()) {
            std::cerr << server->errorLine() << std::endl;
            return kExitNoServer;
        }
        std::cout << "Hosting on port " << server->port() << std::endl;
        serverThread = std::make_unique<ServerThread>(*server);
    }

    WindowLibrary library;
    if (!library.ready()) {
        std::fprintf(stderr, "Failed to initialize GLFW\n");
        return kExitLibraryFailed;
    }
    Window window(kWindowWidth, kWindowHeight);
    if (!window.isOpen()) {
        std::fprintf(stderr, "Failed to open GLFW window\n");
        return kExitWindowFailed;
    }
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "Failed to initialize GLEW\n");
        return kExitLibraryFailed;
    }
    setGlobalGlState(window);
    window.setSwapInterval(kVsync);

    // The window takes the mode it keeps at once, so that the title shows in it while the
    // rest loads.
    window.setFullscreen(settings.fullscreen);

    // A server's arena is checked as a local file and kept in the player's cache.
    ArenaCache arenaCache(ArenaCache::standardFolder(), std::cerr);
    checkGlError("before init scene");
    Scene scene(window, seed, seed ^ kParticleSalt, replay.get(), recorder.get(), settings,
                &settingsFile, arena, Scene::Loading::BehindTheTitle);
    scene.client.password = options->served.password;
    for (std::size_t row = 0; row < settingsNews.size(); ++row) {
        scene.client.feed.add(settingsNews.text(row));
    }
    if (const std::string fault = arenaFault.str(); !fault.empty()) {
        scene.client.feed.add(std::string_view(fault).substr(0, fault.size() - 1)); // no newline
    }
    scene.client.menu.arenas = arenaFolders.names();
    if (server || !options->joinHost.empty()) {
        NetworkOptions joining;
        joining.arenas = &arenaCache;
        joining.host = server ? kLoopback : options->joinHost;
        joining.port = server ? server->port() : options->joinPort;
        joining.password = options->served.password;
        joining.name = settings.name;
        joining.watch = options->watch;
        scene.client.join(joining, std::cout);
    }
    GameLoop loop(window, scene);
    bool built = false;
    while (loop.frame()) {
        if (!built && scene.built()) {
            // What only building needed (decoded pictures and models, the shader compilers'
            // working memory, the GLSL compiler's built-in functions: 6 MB, which the driver
            // makes again should a program ever be compiled later) goes back to the system
            // rather than staying in the heap for good.
            built = true;
            if (glReleaseShaderCompiler != nullptr) {
                glReleaseShaderCompiler();
            }
            malloc_trim(0);
        }
    }
    scene.client.finish();
    return scene.client.exitStatus();
}
