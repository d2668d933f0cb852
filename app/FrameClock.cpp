#include "app/FrameClock.h"

double framesPerSecond = 300.0;

namespace {
constexpr double kCountWeight = 5.0;    // frames per fifth of a second to frames per second
constexpr double kPreviousWeight = 0.5; // share of the previous figure kept
} // namespace

void FrameClock::sampleFrameRate(double nowSeconds) {
    const auto tenth = static_cast<long long>(nowSeconds * 10.0);
    if (tenth % 2 != 0) {
        sampleArmed = true;
    } else if (sampleArmed) {
        framesPerSecond = kCountWeight * frameCount + kPreviousWeight * framesPerSecond;
        frameCount = 0;
        sampleArmed = false;
    }
}

float FrameClock::elapsedMs(double nowSeconds) const {
    return static_cast<float>(nowSeconds * 1000.0 - previousTime * 1000.0);
}
