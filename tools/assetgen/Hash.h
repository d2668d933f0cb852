#pragma once

#include <cstdint>

// Deterministic pseudo-random numbers from integer keys, so every build paints the same
// pictures.
inline std::uint32_t hashKey(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0) {
    std::uint32_t h =
        a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Uniform value in [0, 1) for the given keys.
inline float hashUnit(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0) {
    return static_cast<float>(hashKey(a, b, c) >> 8) / static_cast<float>(1u << 24);
}
