#include "client/ClockSync.h"

#include "game/Match.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTick = Match::kTickSeconds;
constexpr float kLeadTarget = 0.5f * (ClockSync::kLeadLow + ClockSync::kLeadHigh);
constexpr float kBehindSmoothing = 0.05f;
constexpr double kRatePerTick = 0.02; // rate change per tick the lead is off
// A lead this far off moves the clock at once (a stall, the start); the next reports, still
// about the clock before the move, are let pass.
constexpr float kResyncTicks = 8.0f;
constexpr int kResyncHoldTicks = 30;
constexpr std::uint32_t kLongestTripMs = 10000; // a round trip beyond it counts as this
} // namespace

void ClockSync::start(std::uint32_t serverTick, std::uint32_t roundTripMs) {
    const auto halfTrip = static_cast<std::uint32_t>(
        std::lround(0.5 * std::min(roundTripMs, kLongestTripMs) / 1000.0 / kTick));
    clock = serverTick + halfTrip + static_cast<std::uint32_t>(kLeadTarget);
    started = true;
    leadKnown = false;
    leadsSeen = 0;
    holdResync = 0;
    behind = 0.0f;
    heardLead = protocol::kNoLead;
}

void ClockSync::advance() {
    ++clock;
    holdResync = std::max(holdResync - 1, 0);
}

bool ClockSync::near(std::uint32_t tick) const {
    const auto apart = static_cast<std::int32_t>(tick - clock);
    return apart <= static_cast<std::int32_t>(kSaneTicks) &&
           apart >= -static_cast<std::int32_t>(kSaneTicks);
}

void ClockSync::hear(std::int16_t lead) {
    if (lead != protocol::kNoLead) {
        heardLead = heardLead == protocol::kNoLead ? lead : std::min(heardLead, lead);
    }
}

std::int32_t ClockSync::take(std::uint32_t serverTick) {
    const float sinceSnapshot = static_cast<float>(static_cast<std::int32_t>(clock - serverTick));
    behind = behind == 0.0f ? sinceSnapshot : behind + kBehindSmoothing * (sinceSnapshot - behind);
    const std::int16_t heard = heardLead;
    heardLead = protocol::kNoLead;
    const float reported = static_cast<float>(heard) / protocol::kLeadUnit;
    std::int32_t shift = 0;
    if (started && holdResync == 0 && heard != protocol::kNoLead) {
        recentLeads[leadsSeen++ % recentLeads.size()] = reported;
        leadEstimate = *std::min_element(
            recentLeads.begin(),
            recentLeads.begin() +
                static_cast<std::ptrdiff_t>(std::min<std::size_t>(leadsSeen, recentLeads.size())));
        // The first lead measured sets the clock right unless it is in the window already;
        // after that only a lead far out of it moves the clock at once.
        const float off = std::abs(reported - kLeadTarget);
        const bool first = !leadKnown;
        leadKnown = true;
        if (off > (first ? kLeadTarget - kLeadLow : kResyncTicks)) {
            shift = static_cast<std::int32_t>(std::lround(kLeadTarget - reported));
            clock += static_cast<std::uint32_t>(shift);
            behind += static_cast<float>(shift);
            leadEstimate = kLeadTarget;
            leadsSeen = 0;
            holdResync = kResyncHoldTicks;
        }
    }
    stepRate = 1.0 + std::clamp(kRatePerTick * static_cast<double>(kLeadTarget - leadEstimate),
                                -kMaxRateChange, kMaxRateChange);
    return shift;
}

float ClockSync::drawnTick(int ticksBack) const {
    return static_cast<float>(clock) - behind - static_cast<float>(ticksBack);
}
