// Frame benchmark: plays the real game on a hidden window, one fixed step a frame, and reports
// where each frame's time goes (CPU update and submission, GPU time of every render phase,
// whole frame) at the full quality and at the balanced and fast presets, next to a floor frame
// that pays only the clears and full-screen passes, and a mandated floor that only clears the
// targets and swaps; the five kinds are drawn in turn.
// Then what the sound costs per game frame: its calls on the main thread and its mixing
// thread's share of a core (run it with ALSOFT_DRIVERS=null to mix without a sound card).
// Then a networked match on loopback: the server's CPU per tick and each client's bandwidth,
// and what a stranger's flood costs the server.
// Last, what the computer's skilled controllers cost a tick, and their navigation graph.
//
//   brakkel_bench [FRAMES] [--csv FILE]
#include "ControllerCost.h"
#include "FigureStats.h"
#include "FloorFrame.h"
#include "FrameLoop.h"
#include "GpuPhaseTimer.h"
#include "NetworkCost.h"
#include "Report.h"
#include "SoundCost.h"
#include "app/GlobalGlState.h"
#include "client/OptionsMenu.h"
#include "platform/FixedStep.h"
#include "platform/Window.h"
#include "platform/WindowSize.h"
#include "scene/Scene.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <string>

namespace {

constexpr int kDefaultFrames = 300;
constexpr int kWarmUpFrames = 30;
constexpr long kMaxFrames = 1000000; // keeps the samples of one run within a few tens of MB
constexpr float kStepSeconds = static_cast<float>(FixedStep::kStepSeconds);
constexpr unsigned int kSeed = 2026; // the same opponent and bursts in every run
constexpr int kNoVsync = 0;          // frames as fast as they can be drawn
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kSoundCallRepeats = 1000;
constexpr double kNetworkSeconds = 20.0;     // of a networked match, measured
constexpr double kFloodSeconds = 10.0;       // of a stranger's flood
constexpr double kControllerSeconds = 120.0; // of game time of a battle of skilled controllers

struct BenchOptions {
    int frames = kDefaultFrames;
    std::string csvPath; // empty: no CSV
};

bool parseOptions(int argc, char** argv, BenchOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--csv" && i + 1 < argc) {
            // Absolute now: the benchmark changes directory before it writes the file.
            options.csvPath = std::filesystem::absolute(argv[++i]).string();
        } else {
            char* end = nullptr;
            const long frames = std::strtol(arg.c_str(), &end, 10);
            if (arg.empty() || *end != '\0' || frames < 1 || frames > kMaxFrames) {
                return false;
            }
            options.frames = static_cast<int>(frames);
        }
    }
    return true;
}

// The game's asset paths are relative to bin/, where this program lives.
bool enterProgramDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
    if (!error) {
        std::filesystem::current_path(program.parent_path(), error);
    }
    return !error;
}

// Opens the hidden window's context; false, with a message, when it cannot be used.
bool openContext(const WindowLibrary& library, Window& window) {
    if (!library.ready() || !window.isOpen()) {
        std::cerr << "No GL window: is an X server running (DISPLAY)?" << std::endl;
        return false;
    }
    if (glewInit() != GLEW_OK) {
        std::cerr << "GLEW failed to initialise" << std::endl;
        return false;
    }
    if (!GLEW_VERSION_3_3 && !GLEW_ARB_timer_query) {
        std::cerr << "The GL context has no timer queries" << std::endl;
        return false;
    }
    setGlobalGlState(window);
    window.setSwapInterval(kNoVsync);
    return true;
}

// ENTER on the title screen, as a player would press it.
void startMatch(Scene& scene) {
    scene.window.injectKey(keys::kEnter, KeyAction::Press);
    scene.window.injectKey(keys::kEnter, KeyAction::Release);
    scene.update();
}

void renderStep(Scene& scene) {
    FrameTiming timing;
    timing.seconds = kStepSeconds;
    scene.render(timing);
}

// The sound's cost per game frame, gameMilliseconds long: its calls on this thread, and its
// threads' CPU time over the wall time they had.
void printSoundCost(std::ostream& out, bool device, double callMilliseconds, double threadSeconds,
                    double wallSeconds, double gameMilliseconds) {
    if (!device) {
        out << "sound: no audio device, not measured\n";
        return;
    }
    const double share = threadSeconds / wallSeconds;
    out << std::setprecision(3) << "sound CPU per game frame: calls " << callMilliseconds
        << " ms + mixing " << share * gameMilliseconds << " ms (" << std::setprecision(2)
        << share * 100.0 << " % of a core) = " << std::setprecision(3)
        << callMilliseconds + share * gameMilliseconds << " ms\n";
}

int runBenchmark(const BenchOptions& options, Window& window) {
    using Clock = std::chrono::steady_clock;
    std::vector<Run> runs;
    double soundCalls = 0.0;
    double soundThreadSeconds = 0.0;
    double wallSeconds = 0.0;
    bool soundDevice = false;
    {
        SoundThreads soundThreads;
        Scene scene(window, kSeed, kSeed);
        soundThreads.findNew();
        soundDevice = scene.sound.output().hasDevice();
        // The same game drawn at the other quality presets, each scene with targets of its own
        // so that no frame resizes them.
        Settings balanced;
        balanced.quality = QualityPreset::Balanced;
        balanced.renderScale = OptionsMenu::presetScale(balanced.quality);
        Settings fast;
        fast.quality = QualityPreset::Fast;
        fast.renderScale = OptionsMenu::presetScale(fast.quality);
        Scene balancedScene(window, kSeed, kSeed, nullptr, nullptr, balanced);
        Scene fastScene(window, kSeed, kSeed, nullptr, nullptr, fast);
        for (Scene* each : {&scene, &balancedScene, &fastScene}) {
            startMatch(*each);
            if (!(each->client.flow->phase() != Phase::Title)) {
                std::cerr << "The match did not start" << std::endl;
                return kExitFailure;
            }
        }
        GpuPhaseTimer timer;
        for (Scene* each : {&scene, &balancedScene, &fastScene}) {
            each->frameObserver = &timer;
        }
        const auto gameFrames = [](const char* name, Scene& drawn) {
            return FrameKind{name, [&drawn] { drawn.update(); }, [&drawn] { renderStep(drawn); }};
        };
        const std::vector<FrameKind> kinds = {
            gameFrames("game", scene),
            gameFrames("balanced", balancedScene),
            gameFrames("fast", fastScene),
            {"floor", [] {}, [&scene, &timer] { renderFloorFrame(scene, timer); }},
            {"mandated", [] {}, [&scene, &timer] { renderMandatedFloorFrame(scene, timer); }},
        };
        const double threadsBefore = soundThreads.cpuSeconds();
        const Clock::time_point start = Clock::now();
        runs = measureFrames(kWarmUpFrames, options.frames, timer, kinds);
        wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        soundThreadSeconds = soundThreads.cpuSeconds() - threadsBefore;
        soundCalls = timeSoundCalls(scene, kSoundCallRepeats);
        for (Scene* each : {&scene, &balancedScene, &fastScene}) {
            each->frameObserver = nullptr;
        }
        if ((scene.client.flow->phase() == Phase::Ended)) {
            std::cerr << "Warning: the match ended during the run; the last frames show the "
                         "end screen"
                      << std::endl;
        }
    }
    std::cout << "\nbrakkel_bench: " << options.frames << " frames of one "
              << kStepSeconds * 1000.0f << " ms step after " << kWarmUpFrames << " warm-up frames, "
              << kWindowWidth << " x " << kWindowHeight << ", " << glGetString(GL_RENDERER) << "\n";
    printReport(std::cout, runs);
    printSoundCost(std::cout, soundDevice, soundCalls, soundThreadSeconds, wallSeconds,
                   summarise(runs.front().samples, FrameSample::WholeFrame).median);
    if (!measureNetworkCost(std::cout, kNetworkSeconds) ||
        !measureStrangerFlood(std::cout, kFloodSeconds)) {
        return kExitFailure;
    }
    measureControllerCost(std::cout, kControllerSeconds);
    if (!options.csvPath.empty() && !writeCsv(options.csvPath, runs)) {
        std::cerr << "Cannot write " << options.csvPath << std::endl;
        return kExitFailure;
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    BenchOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: brakkel_bench [FRAMES] [--csv FILE]" << std::endl;
        return kExitUsage;
    }
    if (!enterProgramDirectory()) {
        std::cerr << "Cannot change to the program's directory" << std::endl;
        return kExitFailure;
    }
    WindowLibrary library;
    Window window(kWindowWidth, kWindowHeight, false);
    if (!openContext(library, window)) {
        return kExitFailure;
    }
    return runBenchmark(options, window);
}
