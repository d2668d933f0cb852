#pragma once

#include "Report.h"

#include <functional>
#include <vector>

class FrameObserver;
class GpuPhaseTimer;

// One kind of frame to measure. enter makes it the current kind (a quality preset, say)
// before each of its turns; frame draws and presents one whole frame, telling the observer
// where each phase begins and when the frame ends, and returns its update and render CPU
// figures. name names its run in the report.
struct FrameKind {
    const char* name;
    std::function<void()> enter;
    std::function<FrameSample(FrameObserver& observer)> frame;
};

// How long the kinds are measured: in turns of turnSeconds each, the first settleSeconds of
// every turn not measured (a kind just entered may resize its targets, and the frame that
// follows pays for it); the kinds take turns until each has been measured for seconds. A
// first round of turns is not measured at all: everything the driver makes at first use is
// made then.
struct MeasurePlan {
    double seconds = 10.0;
    double turnSeconds = 1.0;
    double settleSeconds = 0.25;
};

// Runs the kinds' frames one after another without waiting for anything between them, as the
// game's loop does, and returns each kind's run, in the kinds' order. The kinds take turns, so
// that a drift in the machine's speed during the run affects all of them alike. Every other
// round of turns is timed on the GPU through timer (its queries cost the driver time of their
// own, so those frames count only for the GPU figures, FrameSample::gpuTimed); the others give
// every other figure.
std::vector<Run> measureFrames(const MeasurePlan& plan, GpuPhaseTimer& timer,
                               const std::vector<FrameKind>& kinds);
