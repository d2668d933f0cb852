#include "FrameLoop.h"

#include "GpuPhaseTimer.h"

#include <GL/glew.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point begin, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

FrameSample measureFrame(const GpuPhaseTimer& timer, const FrameKind& kind) {
    FrameSample sample;
    const Clock::time_point start = Clock::now();
    kind.update();
    const Clock::time_point updated = Clock::now();
    kind.render();
    const Clock::time_point submitted = Clock::now();
    glFinish();
    const Clock::time_point finished = Clock::now();
    sample.ms[FrameSample::UpdateCpu] = millisecondsBetween(start, updated);
    sample.ms[FrameSample::RenderCpu] = millisecondsBetween(updated, submitted);
    sample.ms[FrameSample::WholeFrame] = millisecondsBetween(start, finished);
    timer.read(sample);
    return sample;
}

} // namespace

std::vector<Run> measureFrames(int warmUp, int count, const GpuPhaseTimer& timer,
                               const std::vector<FrameKind>& kinds) {
    for (int round = 0; round < warmUp; ++round) {
        for (const FrameKind& kind : kinds) {
            measureFrame(timer, kind);
        }
    }
    std::vector<Run> runs;
    runs.reserve(kinds.size());
    for (const FrameKind& kind : kinds) {
        runs.push_back(Run{kind.name, {}});
        runs.back().samples.reserve(static_cast<size_t>(count));
    }
    for (int round = 0; round < count; ++round) {
        for (size_t kind = 0; kind < kinds.size(); ++kind) {
            runs[kind].samples.push_back(measureFrame(timer, kinds[kind]));
        }
    }
    return runs;
}
