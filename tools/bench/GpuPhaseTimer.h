#pragma once

#include "FrameSample.h"
#include "render/GlObject.h"
#include "scene/FrameObserver.h"

#include <array>

// Times the GPU side of each frame phase with GL timestamp queries: one timestamp is written
// into the command stream where each phase begins and one where the frame ends, so the GPU
// never waits for the CPU mid-frame. Results are read once the frame has finished. Needs
// timer queries (GL 3.3 or ARB_timer_query) on the current context for its whole life.
class GpuPhaseTimer : public FrameObserver {
public:
    GpuPhaseTimer();

    void phaseBegins(FramePhase phase) override;
    void frameEnds() override;

    // After glFinish of a frame that marked every phase and its end: fills the five GPU
    // figures of sample.
    void read(FrameSample& sample) const;

private:
    static constexpr int kPhaseCount = static_cast<int>(FramePhase::Present) + 1;
    // A mark at the start of each phase and one at the frame's end.
    std::array<Query, kPhaseCount + 1> marks;
};
