// The attempt limiter: each address at most its limit in any one second, each /24 and the whole
// server at most theirs however many addresses ask, an address that has proven itself never kept
// out by others, and memory that does not grow with the askers.
#include "net/AttemptLimiter.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace {

std::uint32_t address(std::uint32_t hostOrder) {
    return htonl(hostOrder);
}

AttemptLimiter::Limits limits() {
    AttemptLimiter::Limits chosen;
    chosen.perAddress = 5;
    chosen.perNetwork = 20;
    chosen.perServer = 50;
    chosen.addresses = 16;
    chosen.networks = 4;
    chosen.trusted = 4;
    return chosen;
}

TEST(AttemptLimiterTest, EachAddressEachNetworkAndTheServerKeepTheirLimitInAnySecond) {
    AttemptLimiter limiter(limits());
    const std::uint32_t one = address(0x0A000001);
    int allowed = 0;
    for (int i = 0; i < 6; ++i) {
        allowed += limiter.allow(one, 10.0 + 0.1 * i) ? 1 : 0;
    }
    EXPECT_EQ(allowed, 5);
    EXPECT_FALSE(limiter.allow(one, 10.99));
    EXPECT_TRUE(limiter.allow(one, 11.0)); // the first is a second old
    // 64 addresses of one /24: 20 a second between them.
    allowed = 0;
    for (std::uint32_t host = 0; host < 64; ++host) {
        allowed += limiter.allow(address(0x0B000000 + host), 20.0) ? 1 : 0;
    }
    EXPECT_EQ(allowed, 20);
    // A thousand addresses from everywhere, more than it remembers: 50 a second between them,
    // second after second.
    for (int second = 0; second < 3; ++second) {
        allowed = 0;
        for (std::uint32_t host = 0; host < 1000; ++host) {
            allowed += limiter.allow(address(0x0C000000 + (host << 8)), 30.0 + second) ? 1 : 0;
        }
        EXPECT_EQ(allowed, 50) << "second " << second;
    }
}

TEST(AttemptLimiterTest, AnAddressThatProvedItselfIsNeverKeptOutByOthers) {
    AttemptLimiter limiter(limits());
    const std::uint32_t player = address(0x0D000001);
    limiter.trust(player, 1.0);
    EXPECT_TRUE(limiter.trusted(player));
    for (std::uint32_t host = 0; host < 1000; ++host) {
        limiter.allow(address(0x0E000000 + (host << 8)), 2.0);
        limiter.allow(address(0x0D000002 + host % 200), 2.0); // its own /24
    }
    int allowed = 0;
    for (int i = 0; i < 5; ++i) {
        allowed += limiter.allow(player, 2.0) ? 1 : 0;
    }
    EXPECT_EQ(allowed, 5);
    EXPECT_FALSE(limiter.allow(player, 2.0)); // but held to its own limit
    // Trust is remembered for the last few addresses only.
    for (std::uint32_t host = 0; host < 4; ++host) {
        limiter.trust(address(0x0F000000 + host), 3.0 + host);
    }
    EXPECT_FALSE(limiter.trusted(player));
}

} // namespace
