// Brakkel: one player against one computer tank in a walled arena. Opens the window, builds the
// scene and runs the game loop: the game advances in fixed steps as real time passes, and every
// frame is drawn blended between the last two steps. --record and --replay record a game to a
// file and play it back. --host serves a networked game on a thread of its own and plays in it
// over loopback like any client; --join plays on another's server.
#include "app/CommandLine.h"
#include "app/GlobalGlState.h"
#include "client/FeedStream.h"
#include "client/Recording.h"
#include "client/RecordingWriter.h"
#include "client/SettingsFile.h"
#include "net/ConsoleQueue.h"
#include "net/ServerThread.h"
#include "platform/FixedStep.h"
#include "platform/FrameRateMeter.h"
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
#include <memory>

namespace {

constexpr int kExitLibraryFailed = 1;
constexpr int kExitWindowFailed = -1;
constexpr int kExitBadFile = 1;
constexpr int kVsync = 1;                           // swap at the display's refresh
constexpr unsigned int kParticleSalt = 0x9E3779B9u; // the bursts draw apart from the opponent
constexpr int kExitNoServer = 1;
const char* const kLoopback = "127.0.0.1";

void runGameLoop(Window& window, Scene& scene) {
    FixedStep clock;
    FrameRateMeter meter;
    checkGlError("before main loop");

    double previousTime = window.time();
    bool running = true;
    while (running) {
        const double now = window.time();
        const double frameSeconds = now - previousTime;
        previousTime = now;
        meter.frame(now);

        // A networked game's clock runs a little fast or slow to keep its lead on the server.
        const int steps = clock.advance(frameSeconds * scene.client.stepRate());
        checkGlError("main loop, before scene.update()");
        // The steps make no GL call; their checks report what is pending around them.
        checkGlError("Scene::update() START");
        for (int step = 0; step < steps && !scene.quitRequested(); ++step) {
            scene.update();
        }
        checkGlError("Scene::update() END");
        checkGlError("main loop, after scene.update()");

        FrameTiming timing;
        timing.blend = clock.blend();
        timing.seconds = static_cast<float>(FixedStep::cappedSeconds(frameSeconds));
        timing.framesPerSecond = meter.framesPerSecond();
        timing.frameMilliseconds = meter.frameMilliseconds();
        checkGlError("main loop, before scene.render()");
        scene.render(timing);
        checkGlError("main loop, after scene.render()");

        running = !window.closeRequested() && !scene.quitRequested();
    }
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    const std::optional<LaunchOptions> options = parseCommandLine(argc, argv, status);
    if (!options) {
        return status;
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

    // The player's settings: what cannot be taken is reported, on the console and in the
    // window, and left at its default.
    const SettingsFile settingsFile(SettingsFile::standardPath());
    MessageFeed settingsNews;
    FeedStream settingsErrors(std::cerr, settingsNews);
    const Settings settings = settingsFile.load(settingsErrors);

    checkGlError("before init scene");
    Scene scene(window, seed, seed ^ kParticleSalt, replay.get(), recorder.get(), settings,
                &settingsFile);
    for (std::size_t row = 0; row < settingsNews.size(); ++row) {
        scene.client.feed.add(settingsNews.text(row));
    }
    if (server || !options->joinHost.empty()) {
        NetworkOptions joining;
        joining.host = server ? kLoopback : options->joinHost;
        joining.port = server ? server->port() : options->joinPort;
        joining.password = options->served.password;
        joining.name = settings.name;
        scene.client.join(joining, std::cout);
    }
    runGameLoop(window, scene);
    scene.client.finish();
    return scene.client.exitStatus();
}
