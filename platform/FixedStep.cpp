#include "platform/FixedStep.h"

#include <algorithm>
#include <cmath>

namespace {
// Frame times that add up to a whole number of steps (1/7 s seven times, say) must give that
// number of steps, not one less because of rounding.
constexpr double kRoundingSlack = 1e-9; // seconds
// The largest share blend() returns: one closer to 1 could round to 1.0f as a float, and
// blend() promises less than 1.
constexpr double kLargestBlend = 1.0 - 1e-6;
} // namespace

int FixedStep::advance(double frameSeconds) {
    pending += std::max(frameSeconds, 0.0);
    const double due = std::floor((pending + kRoundingSlack) / kStepSeconds);
    pending = std::max(pending - due * kStepSeconds, 0.0);
    return static_cast<int>(std::min(due, static_cast<double>(kMaxStepsPerFrame)));
}

float FixedStep::blend() const {
    return static_cast<float>(std::min(pending / kStepSeconds, kLargestBlend));
}

double FixedStep::cappedSeconds(double frameSeconds) {
    return std::min(frameSeconds, kMaxStepsPerFrame * kStepSeconds);
}
