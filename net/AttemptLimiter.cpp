#include "net/AttemptLimiter.h"

namespace {
constexpr double kWindowSeconds = 1.0;
}

bool AttemptLimiter::allow(std::uint32_t address, double nowSeconds) {
    Entry* entry = nullptr;
    Entry* quietest = &entries[0];
    for (Entry& candidate : entries) {
        if (candidate.used && candidate.address == address) {
            entry = &candidate;
            break;
        }
        if (!candidate.used || (quietest->used && candidate.last < quietest->last)) {
            quietest = &candidate;
        }
    }
    if (entry == nullptr) {
        entry = quietest;
        *entry = Entry();
        entry->used = true;
        entry->address = address;
        entry->times.fill(nowSeconds - 2.0 * kWindowSeconds);
    }
    entry->last = nowSeconds;
    // The oldest of the last kPerSecond attempts must be a second old.
    if (nowSeconds - entry->times[entry->next] < kWindowSeconds) {
        return false;
    }
    entry->times[entry->next] = nowSeconds;
    entry->next = (entry->next + 1) % entry->times.size();
    return true;
}
