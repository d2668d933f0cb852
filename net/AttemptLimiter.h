#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// How many attempts to join each address may make: kPerSecond in any one second. Remembers the
// kAddresses addresses seen last; a new one takes the place of the one quiet longest, so a
// flood of addresses cannot grow it.
class AttemptLimiter {
public:
    static constexpr int kPerSecond = 5;
    static constexpr std::size_t kAddresses = 64;

    // Counts an attempt from address at nowSeconds; false when it is one too many.
    bool allow(std::uint32_t address, double nowSeconds);

private:
    struct Entry {
        std::uint32_t address = 0;
        bool used = false;
        std::array<double, kPerSecond> times{}; // of the last attempts, a ring
        std::size_t next = 0;
        double last = 0.0;
    };
    std::array<Entry, kAddresses> entries{};
};
