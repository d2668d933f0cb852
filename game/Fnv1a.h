#pragma once

#include <cstddef>
#include <cstdint>

// FNV-1a, 64 bits: the hash of states and the checksum of recordings. Hashing in pieces gives
// the same value as hashing at once, when each piece starts from the value of the one before.
inline constexpr std::uint64_t kFnv1aStart = 14695981039346656037ULL;

inline std::uint64_t fnv1a(const std::uint8_t* data, std::size_t size,
                           std::uint64_t value = kFnv1aStart) {
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    for (std::size_t i = 0; i < size; ++i) {
        value = (value ^ data[i]) * kPrime;
    }
    return value;
}
