#pragma once

#include "scene/FrameObserver.h"

#include <array>

// The figures of one measured frame, in milliseconds. The GPU figures of the five render
// phases follow each other in FramePhase order.
struct FrameSample {
    enum Figure {
        UpdateCpu, // the steps the frame ran (wall time on the main thread)
        RenderCpu, // Scene::render up to its return, present included (a driver may wait there)
        ShadowGpu, // GPU time from each phase's start to the next one's
        MainGpu,
        ScreenGpu,
        TextGpu,
        PresentGpu,    // the buffer swap
        WholeFrame,    // wall time of the whole frame, as the game's loop runs it
        MainThreadCpu, // CPU time the main thread used in the frame
        ProcessCpu,    // CPU time every thread used: the main one, the driver's, the sound's
        FigureCount
    };
    std::array<double, FigureCount> ms{};
    // Drawn with the GPU timer's queries, which cost the driver time of their own: such a
    // frame counts for the GPU figures only, and the others come from frames drawn without.
    bool gpuTimed = false;

    static bool isGpuFigure(Figure figure) { return figure >= ShadowGpu && figure <= PresentGpu; }
    // Whether this frame counts for figure.
    bool countsFor(Figure figure) const { return gpuTimed == isGpuFigure(figure); }
};

static_assert(FrameSample::PresentGpu - FrameSample::ShadowGpu ==
                  static_cast<int>(FramePhase::Present),
              "GPU figures follow the frame's phases");

// The figures' names in the printed table and in the CSV header, in Figure order.
inline constexpr const char* kFigureLabels[FrameSample::FigureCount] = {
    "update CPU", "render CPU",  "shadow GPU",  "main GPU",        "screen GPU",
    "text GPU",   "present GPU", "whole frame", "main thread CPU", "all threads CPU"};
inline constexpr const char* kFigureColumns[FrameSample::FigureCount] = {
    "update_cpu_ms", "render_cpu_ms",  "shadow_gpu_ms", "main_gpu_ms",        "screen_gpu_ms",
    "text_gpu_ms",   "present_gpu_ms", "frame_ms",      "main_thread_cpu_ms", "process_cpu_ms"};
