#pragma once

#include "scene/FrameObserver.h"

#include <array>

// The figures of one measured frame, in milliseconds. The GPU figures of the five render
// phases follow each other in FramePhase order.
struct FrameSample {
    enum Figure {
        UpdateCpu, // Scene::update
        RenderCpu, // the render call up to its return, swap included (a driver may wait there)
        ShadowGpu, // GPU time from each phase's start to the next one's
        MainGpu,
        ScreenGpu,
        TextGpu,
        PresentGpu, // the buffer swap
        WholeFrame, // update, render and glFinish: wall time until the frame is done
        FigureCount
    };
    std::array<double, FigureCount> ms{};
};

static_assert(FrameSample::PresentGpu - FrameSample::ShadowGpu ==
                  static_cast<int>(FramePhase::Present),
              "GPU figures follow the frame's phases");

// The figures' names in the printed table and in the CSV header, in Figure order.
inline constexpr const char* kFigureLabels[FrameSample::FigureCount] = {
    "update CPU", "render CPU", "shadow GPU",  "main GPU",
    "screen GPU", "text GPU",   "present GPU", "whole frame"};
inline constexpr const char* kFigureColumns[FrameSample::FigureCount] = {
    "update_cpu_ms", "render_cpu_ms", "shadow_gpu_ms",  "main_gpu_ms",
    "screen_gpu_ms", "text_gpu_ms",   "present_gpu_ms", "frame_ms"};
