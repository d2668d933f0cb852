#pragma once

#include "FrameSample.h"

#include <functional>
#include <vector>

class GpuPhaseTimer;

// Runs warmUp frames unmeasured, then count measured frames. A frame is update, then render,
// then glFinish; render must mark every phase and the frame's end through timer.
std::vector<FrameSample> measureFrames(int warmUp, int count, const GpuPhaseTimer& timer,
                                       const std::function<void()>& update,
                                       const std::function<void()>& render);
