#include "GpuPhaseTimer.h"

#include <cstdint>

namespace {

constexpr double kNanosecondsPerMillisecond = 1.0e6;

} // namespace

GpuPhaseTimer::GpuPhaseTimer() {
    for (auto& frame : marks) {
        for (Query& mark : frame) {
            mark = Query::create();
        }
    }
}

void GpuPhaseTimer::phaseBegins(FramePhase phase) {
    glQueryCounter(marks[static_cast<size_t>(current)][static_cast<size_t>(phase)].name(),
                   GL_TIMESTAMP);
}

void GpuPhaseTimer::frameEnds() {
    glQueryCounter(marks[static_cast<size_t>(current)][kPhaseCount].name(), GL_TIMESTAMP);
    current = (current + 1) % kFramesKept;
}

void GpuPhaseTimer::read(FrameSample& sample, int framesAgo) const {
    const auto& frame =
        marks[static_cast<size_t>((current + kFramesKept - 1 - framesAgo) % kFramesKept)];
    std::array<GLuint64, kPhaseCount + 1> nanoseconds{};
    for (size_t i = 0; i < frame.size(); ++i) {
        glGetQueryObjectui64v(frame[i].name(), GL_QUERY_RESULT, &nanoseconds[i]);
    }
    for (int phase = 0; phase < kPhaseCount; ++phase) {
        const GLuint64 begin = nanoseconds[static_cast<size_t>(phase)];
        const GLuint64 end = nanoseconds[static_cast<size_t>(phase) + 1];
        // Signed, so that a driver that orders its timestamps loosely shows it.
        const auto span = static_cast<std::int64_t>(end - begin);
        sample.ms[static_cast<size_t>(FrameSample::ShadowGpu + phase)] =
            static_cast<double>(span) / kNanosecondsPerMillisecond;
    }
}
