#include "net/AttemptLimiter.h"

#include <algorithm>

#include <arpa/inet.h>

namespace {
constexpr double kWindowSeconds = 1.0;
constexpr double kUnused = -1.0;
} // namespace

AttemptLimiter::Table::Table(std::size_t count, int limit)
    : limit(std::max(limit, 1)), keys(count, 0), last(count, kUnused),
      times(count * static_cast<std::size_t>(this->limit), 0.0), next(count, 0) {}

std::size_t AttemptLimiter::Table::find(std::uint32_t key, double nowSeconds) {
    std::size_t quietest = 0;
    for (std::size_t entry = 0; entry < keys.size(); ++entry) {
        if (last[entry] != kUnused && keys[entry] == key) {
            last[entry] = nowSeconds;
            return entry;
        }
        if (last[entry] < last[quietest]) {
            quietest = entry;
        }
    }
    keys[quietest] = key;
    last[quietest] = nowSeconds;
    next[quietest] = 0;
    const auto first = times.begin() + static_cast<std::ptrdiff_t>(quietest * limit);
    std::fill(first, first + limit, nowSeconds - 2.0 * kWindowSeconds);
    return quietest;
}

bool AttemptLimiter::Table::allows(std::size_t entry, double nowSeconds) const {
    // The oldest of the last `limit` attempts must be a second old.
    return nowSeconds - times[entry * static_cast<std::size_t>(limit) + next[entry]] >=
           kWindowSeconds;
}

void AttemptLimiter::Table::count(std::size_t entry, double nowSeconds) {
    times[entry * static_cast<std::size_t>(limit) + next[entry]] = nowSeconds;
    next[entry] = (next[entry] + 1) % static_cast<std::size_t>(limit);
}

AttemptLimiter::AttemptLimiter(const Limits& limits)
    : addresses(limits.addresses, limits.perAddress), networks(limits.networks, limits.perNetwork),
      everyone(1, limits.perServer), trustedAddresses(limits.trusted, 0),
      trustedSince(limits.trusted, kUnused) {}

std::uint32_t AttemptLimiter::networkOf(std::uint32_t address) {
    return address & htonl(0xFFFFFF00u);
}

bool AttemptLimiter::allow(std::uint32_t address, double nowSeconds) {
    const std::size_t own = addresses.find(address, nowSeconds);
    if (!addresses.allows(own, nowSeconds)) {
        return false;
    }
    if (trusted(address)) {
        addresses.count(own, nowSeconds);
        return true;
    }
    const std::size_t network = networks.find(networkOf(address), nowSeconds);
    const std::size_t all = everyone.find(0, nowSeconds);
    if (!networks.allows(network, nowSeconds) || !everyone.allows(all, nowSeconds)) {
        return false;
    }
    addresses.count(own, nowSeconds);
    networks.count(network, nowSeconds);
    everyone.count(all, nowSeconds);
    return true;
}

void AttemptLimiter::trust(std::uint32_t address, double nowSeconds) {
    std::size_t slot = 0;
    for (std::size_t i = 0; i < trustedAddresses.size(); ++i) {
        if (trustedSince[i] != kUnused && trustedAddresses[i] == address) {
            slot = i;
            break;
        }
        if (trustedSince[i] < trustedSince[slot]) {
            slot = i;
        }
    }
    trustedAddresses[slot] = address;
    trustedSince[slot] = nowSeconds;
}

bool AttemptLimiter::trusted(std::uint32_t address) const {
    for (std::size_t i = 0; i < trustedAddresses.size(); ++i) {
        if (trustedSince[i] != kUnused && trustedAddresses[i] == address) {
            return true;
        }
    }
    return false;
}
