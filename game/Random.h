#pragma once

#include <cstdint>

// The random source of one computer driver: PCG32 (O'Neill's permuted congruential generator,
// XSH-RR output on a 64-bit LCG), a plain value of two words, so that it can be copied,
// compared, hashed and sent with the rest of a match's state.
class Random {
public:
    // The same seed and stream give the same numbers on every machine.
    explicit Random(std::uint64_t seed = 0, std::uint64_t stream = kDefaultStream);

    // The next number, uniform over 0 .. 2^32 − 1.
    std::uint32_t operator()();

    bool operator==(const Random& other) const {
        return state == other.state && increment == other.increment;
    }
    bool operator!=(const Random& other) const { return !(*this == other); }

    std::uint64_t state = 0;
    std::uint64_t increment = 0; // odd: the stream
    static constexpr std::uint64_t kDefaultStream = 0xda3e39cb94b95bdbULL;
};
