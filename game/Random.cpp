#include "game/Random.h"

namespace {
constexpr std::uint64_t kMultiplier = 6364136223846793005ULL;
constexpr unsigned int kWordBits = 32;
} // namespace

Random::Random(std::uint64_t seed, std::uint64_t stream) : increment((stream << 1u) | 1u) {
    (*this)();
    state += seed;
    (*this)();
}

std::uint32_t Random::operator()() {
    const std::uint64_t old = state;
    state = old * kMultiplier + increment;
    const auto shifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<unsigned int>(old >> 59u);
    return (shifted >> rotation) | (shifted << ((kWordBits - rotation) & (kWordBits - 1)));
}
