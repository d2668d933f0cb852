// Frame benchmark: plays the real game in a visible window of the requested size through the
// game's own loop (GameLoop: the steps real time makes due, the frame drawn and presented,
// nothing waited for in between), and reports where each frame's time goes (the steps, the
// drawing, GPU time of every render phase, the main thread's and all threads' CPU, the whole
// frame) at the Full, Balanced and Fast quality presets, next to a floor frame that pays only
// the clears and full-screen passes, and a mandated floor that only clears the targets and
// swaps. The kinds take turns of a second each. Its frames per second are what a player gets
// in a match, as Mesa's own frame counter (GALLIUM_HUD) reads it: tools/bench/match-fps.sh
// compares the two.
// Then what the sound costs per game frame: its calls on the main thread and its mixing
// thread's share of a core (run it with ALSOFT_DRIVERS=null to mix without a sound card).
// Then a Full frame of a battle of eight tanks, in view and fighting, against a duel's.
// Then a networked match on loopback: the server's CPU per tick and each client's bandwidth,
// and what a stranger's flood costs the server.
// Last, what the computer's skilled controllers cost a tick, and their navigation graph.
//
//   brakkel_bench [SECONDS] [--size WIDTHxHEIGHT] [--csv FILE]
#include "BattleFrame.h"
#include "ControllerCost.h"
#include "FigureStats.h"
#include "FloorFrame.h"
#include "FrameLoop.h"
#include "GpuPhaseTimer.h"
#include "NetworkCost.h"
#include "Report.h"
#include "SoundCost.h"
#include "app/GameLoop.h"
#include "app/GlobalGlState.h"
#include "client/OptionsMenu.h"
#include "platform/Window.h"
#include "platform/WindowSize.h"
#include "scene/Scene.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <string>

namespace {

constexpr double kDefaultSeconds = 10.0; // of each kind, measured
constexpr double kMaxSeconds = 3600.0;
constexpr unsigned int kSeed = 2026; // the same opponent and bursts in every run
constexpr int kNoVsync = 0;          // frames as fast as they can be drawn
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kSoundCallRepeats = 1000;
constexpr double kNetworkSeconds = 20.0;     // of a networked match, measured
constexpr double kFloodSeconds = 10.0;       // of a stranger's flood
constexpr double kControllerSeconds = 120.0; // of game time of a battle of skilled controllers
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr double kStartSeconds = 5.0; // for the match to start after ENTER

struct BenchOptions {
    double seconds = kDefaultSeconds;
    glm::ivec2 size{kWindowWidth, kWindowHeight};
    std::string csvPath; // empty: no CSV
};

bool parseSize(const std::string& text, glm::ivec2& size) {
    int width = 0;
    int height = 0;
    char rest = '\0';
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &rest) != 2 || width < 1 ||
        height < 1) {
        return false;
    }
    size = {width, height};
    return true;
}

bool parseOptions(int argc, char** argv, BenchOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--csv" && i + 1 < argc) {
            // Absolute now: the benchmark changes directory before it writes the file.
            options.csvPath = std::filesystem::absolute(argv[++i]).string();
        } else if (arg == "--size" && i + 1 < argc) {
            if (!parseSize(argv[++i], options.size)) {
                return false;
            }
        } else {
            char* end = nullptr;
            const double seconds = std::strtod(arg.c_str(), &end);
            if (arg.empty() || *end != '\0' || !(seconds > 0.0) || seconds > kMaxSeconds) {
                return false;
            }
            options.seconds = seconds;
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

// Opens the window's context; false, with a message, when it cannot be used.
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

// ENTER, as a player would press it: the title starts a match, the end screen the next one.
void pressEnter(Scene& scene) {
    scene.window.injectKey(keys::kEnter, KeyAction::Press);
    scene.window.injectKey(keys::kEnter, KeyAction::Release);
}

RenderQuality presetQuality(QualityPreset preset) {
    return RenderQuality::of(preset, OptionsMenu::presetScale(preset));
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
    int restarts = 0;
    {
        SoundThreads soundThreads;
        Scene scene(window, kSeed, kSeed);
        soundThreads.findNew();
        soundDevice = scene.sound.output().hasDevice();
        GpuPhaseTimer timer;
        GameLoop loop(window, scene);
        pressEnter(scene);
        const Clock::time_point entered = Clock::now();
        while (scene.client.flow->phase() == Phase::Title &&
               secondsSince(entered) < kStartSeconds) {
            loop.frame();
        }
        if (scene.client.flow->phase() == Phase::Title) {
            std::cerr << "The match did not start" << std::endl;
            return kExitFailure;
        }
        // A game frame as the game's loop draws it; a match that ended is restarted at once.
        const auto gameFrame = [&](FrameObserver& observer) {
            scene.frameObserver = &observer;
            if (scene.client.flow->phase() == Phase::Ended) {
                pressEnter(scene);
                ++restarts;
            }
            loop.frame();
            FrameSample sample;
            sample.ms[FrameSample::UpdateCpu] = loop.updateSeconds() * kMillisecondsPerSecond;
            sample.ms[FrameSample::RenderCpu] = loop.renderSeconds() * kMillisecondsPerSecond;
            return sample;
        };
        const auto preset = [&scene](QualityPreset chosen) {
            return [&scene, chosen] { scene.quality = presetQuality(chosen); };
        };
        // The floors are drawn with the Full preset's targets.
        const auto enterFloor = [&scene, &window] {
            scene.quality = presetQuality(QualityPreset::Full);
            scene.renderer.setView(window.framebufferSize(), scene.quality);
        };
        const auto floorFrame = [&scene](void (*draw)(Scene&, FrameObserver&)) {
            return [&scene, draw](FrameObserver& observer) {
                const Clock::time_point start = Clock::now();
                draw(scene, observer);
                FrameSample sample;
                sample.ms[FrameSample::RenderCpu] = secondsSince(start) * kMillisecondsPerSecond;
                return sample;
            };
        };
        const std::vector<FrameKind> kinds = {
            {"full", preset(QualityPreset::Full), gameFrame},
            {"balanced", preset(QualityPreset::Balanced), gameFrame},
            {"fast", preset(QualityPreset::Fast), gameFrame},
            {"floor", enterFloor, floorFrame(renderFloorFrame)},
            {"mandated", enterFloor, floorFrame(renderMandatedFloorFrame)},
        };
        MeasurePlan plan;
        plan.seconds = options.seconds;
        const double threadsBefore = soundThreads.cpuSeconds();
        const Clock::time_point start = Clock::now();
        runs = measureFrames(plan, timer, kinds);
        wallSeconds = secondsSince(start);
        soundThreadSeconds = soundThreads.cpuSeconds() - threadsBefore;
        soundCalls = timeSoundCalls(scene, kSoundCallRepeats);
        scene.frameObserver = nullptr;
    }
    std::cout << "\nbrakkel_bench: " << options.seconds
              << " s of each kind of frame in turns, half of them timed on the GPU, after a "
                 "round of turns unmeasured; a visible "
              << options.size.x << " x " << options.size.y << " window, "
              << glGetString(GL_RENDERER) << "\n";
    if (restarts > 0) {
        std::cout << "(the match ended and was started again " << restarts << " times)\n";
    }
    printReport(std::cout, runs);
    printSoundCost(std::cout, soundDevice, soundCalls, soundThreadSeconds, wallSeconds,
                   summarise(runs.front().samples, FrameSample::WholeFrame).median);
    if (!measureBattleFrame(std::cout, window, options.seconds)) {
        return kExitFailure;
    }
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
        std::cerr << "usage: brakkel_bench [SECONDS] [--size WIDTHxHEIGHT] [--csv FILE]"
                  << std::endl;
        return kExitUsage;
    }
    if (!enterProgramDirectory()) {
        std::cerr << "Cannot change to the program's directory" << std::endl;
        return kExitFailure;
    }
    WindowLibrary library;
    Window window(options.size.x, options.size.y);
    if (!openContext(library, window)) {
        return kExitFailure;
    }
    return runBenchmark(options, window);
}
