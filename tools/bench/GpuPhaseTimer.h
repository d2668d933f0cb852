#pragma once

#include "FrameSample.h"
#include "render/GlObject.h"
#include "scene/FrameObserver.h"

#include <array>

// Times the GPU side of each frame phase with GL timestamp queries: one timestamp is written
// into the command stream where each phase begins and one where the frame ends, so the GPU
// never waits for the CPU mid-frame. The marks of two frames are kept in turn, so that a
// frame's results can be read while the next one is drawn, without making the loop wait.
// Needs timer queries (GL 3.3 or ARB_timer_query) on the current context for its whole life.
class GpuPhaseTimer : public FrameObserver {
public:
    GpuPhaseTimer();

    void phaseBegins(FramePhase phase) override;
    void frameEnds() override;

    // Fills the five GPU figures of sample with the results of the frame that ended framesAgo
    // frames ago (0: the last one, 1: the one before it), waiting for them when they are not
    // in yet. That frame must have marked every phase and its end.
    void read(FrameSample& sample, int framesAgo) const;

private:
    static constexpr int kPhaseCount = static_cast<int>(FramePhase::Present) + 1;
    static constexpr int kFramesKept = 2;
    // A mark at the start of each phase and one at the frame's end, for each frame kept.
    std::array<std::array<Query, kPhaseCount + 1>, kFramesKept> marks;
    int current = 0; // the set the frame being drawn marks
};
