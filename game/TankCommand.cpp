#include "game/TankCommand.h"

#include <cmath>

namespace {
constexpr double kFullTurnDegrees = 360.0;
} // namespace

float TankCommand::aimDegrees() const {
    return static_cast<float>(aim * kFullTurnDegrees / kAimSteps);
}

std::uint32_t TankCommand::aimOf(float degrees) {
    if (!std::isfinite(degrees)) {
        return 0;
    }
    const double turns = static_cast<double>(degrees) / kFullTurnDegrees;
    const double steps = std::round((turns - std::floor(turns)) * kAimSteps);
    // A whole turn rounds back to heading 0.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(steps) & 0xFFFFFFFFu);
}
