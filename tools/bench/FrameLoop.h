#pragma once

#include "Report.h"

#include <functional>
#include <vector>

class GpuPhaseTimer;

// One kind of frame to measure: update, then render, then glFinish. render must mark every
// phase and the frame's end through the timer. name names its run in the report.
struct FrameKind {
    const char* name;
    std::function<void()> update;
    std::function<void()> render;
};

// Runs warmUp rounds unmeasured, then count measured rounds; a round draws one frame of each
// kind in turn, so that the kinds are measured under the same conditions even when the
// machine's speed drifts during the run. Returns each kind's run, in the kinds' order.
std::vector<Run> measureFrames(int warmUp, int count, const GpuPhaseTimer& timer,
                               const std::vector<FrameKind>& kinds);
