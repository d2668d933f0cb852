#include "FrameLoop.h"

#include "GpuPhaseTimer.h"

#include <GL/glew.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point begin, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

FrameSample measureFrame(const GpuPhaseTimer& timer, const std::function<void()>& update,
                         const std::function<void()>& render) {
    FrameSample sample;
    const Clock::time_point start = Clock::now();
    update();
    const Clock::time_point updated = Clock::now();
    render();
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

std::vector<FrameSample> measureFrames(int warmUp, int count, const GpuPhaseTimer& timer,
                                       const std::function<void()>& update,
                                       const std::function<void()>& render) {
    for (int frame = 0; frame < warmUp; ++frame) {
        measureFrame(timer, update, render);
    }
    std::vector<FrameSample> samples;
    samples.reserve(static_cast<size_t>(count));
    for (int frame = 0; frame < count; ++frame) {
        samples.push_back(measureFrame(timer, update, render));
    }
    return samples;
}
