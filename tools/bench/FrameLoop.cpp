#include "FrameLoop.h"

#include "GpuPhaseTimer.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

// Told about every phase and frame, and does nothing: the frames that are not GPU timed.
class NoObserver : public FrameObserver {
public:
    void phaseBegins(FramePhase) override {}
    void frameEnds() override {}
};

double millisecondsBetween(Clock::time_point begin, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

double cpuMilliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1.0e3 + static_cast<double>(now.tv_nsec) * 1.0e-6;
}

// One frame of kind, its wall and CPU figures filled in; the GPU figures come later.
FrameSample measureFrame(const FrameKind& kind, FrameObserver& observer) {
    const Clock::time_point start = Clock::now();
    const double thread = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    const double process = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    FrameSample sample = kind.frame(observer);
    sample.ms[FrameSample::WholeFrame] = millisecondsBetween(start, Clock::now());
    sample.ms[FrameSample::MainThreadCpu] = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - thread;
    sample.ms[FrameSample::ProcessCpu] = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - process;
    return sample;
}

// One turn of kind: frames for seconds after the settling ones; measured ones go to run when
// it is given. On a GPU-timed turn, a frame's GPU figures are read once the next frame has
// been drawn, the last one's at the end of the turn.
void takeTurn(const FrameKind& kind, const MeasurePlan& plan, double seconds, GpuPhaseTimer* timer,
              Run* run) {
    NoObserver nobody;
    FrameObserver& observer = timer != nullptr ? static_cast<FrameObserver&>(*timer) : nobody;
    kind.enter();
    const auto settle = std::chrono::duration<double>(plan.settleSeconds);
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < settle) {
        kind.frame(observer);
    }
    const auto turn = std::chrono::duration<double>(seconds);
    const Clock::time_point measuring = Clock::now();
    bool measuredOne = false;
    while (Clock::now() - measuring < turn) {
        FrameSample sample = measureFrame(kind, observer);
        if (run == nullptr) {
            continue;
        }
        sample.gpuTimed = timer != nullptr;
        if (measuredOne && timer != nullptr) {
            timer->read(run->samples.back(), 1);
        }
        run->samples.push_back(sample);
        measuredOne = true;
    }
    if (measuredOne && timer != nullptr) {
        timer->read(run->samples.back(), 0);
    }
}

} // namespace

std::vector<Run> measureFrames(const MeasurePlan& plan, GpuPhaseTimer& timer,
                               const std::vector<FrameKind>& kinds) {
    for (const FrameKind& kind : kinds) {
        takeTurn(kind, plan, plan.turnSeconds, &timer, nullptr);
    }
    std::vector<Run> runs;
    runs.reserve(kinds.size());
    for (const FrameKind& kind : kinds) {
        runs.push_back(Run{kind.name, {}});
    }
    // Each round once timed and once not, so that both halves see the same stretch of time.
    for (double done = 0.0; done < plan.seconds; done += plan.turnSeconds) {
        const double turn = std::min(plan.turnSeconds, plan.seconds - done);
        for (GpuPhaseTimer* timed : {static_cast<GpuPhaseTimer*>(nullptr), &timer}) {
            for (size_t kind = 0; kind < kinds.size(); ++kind) {
                takeTurn(kinds[kind], plan, turn / 2.0, timed, &runs[kind]);
            }
        }
    }
    return runs;
}
