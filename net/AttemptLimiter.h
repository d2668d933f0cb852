#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// How often something costly may be asked for, by whom: each address at most perAddress times
// in any one second, each /24 network at most perNetwork, everyone together at most perServer.
// An address that has proven itself (trust()) answers to its own limit only, so that a flood
// from elsewhere never keeps it out.
//
// Memory is fixed when it is made: it remembers the addresses and networks heard from last,
// the quietest giving way to a new one, so a flood of new addresses cannot grow it. An address
// forgotten and heard again starts afresh; the network's and the server's limits still hold it.
class AttemptLimiter {
public:
    struct Limits {
        int perAddress = 5;
        int perNetwork = 20;
        int perServer = 50;
        std::size_t addresses = 256; // remembered
        std::size_t networks = 64;
        std::size_t trusted = 64;
    };

    explicit AttemptLimiter(const Limits& limits);

    // Counts an attempt from address (as ENet keeps it: network byte order) at nowSeconds;
    // false, counting nothing, when it is one too many.
    bool allow(std::uint32_t address, double nowSeconds);
    // The address has proven itself.
    void trust(std::uint32_t address, double nowSeconds);
    bool trusted(std::uint32_t address) const;

    // The /24 network an address is in.
    static std::uint32_t networkOf(std::uint32_t address);

private:
    // Keys and, for each, the times of its last attempts in a ring.
    class Table {
    public:
        Table(std::size_t keys, int limit);
        // The entry for key, made (in place of the quietest) when there is none.
        std::size_t find(std::uint32_t key, double nowSeconds);
        bool allows(std::size_t entry, double nowSeconds) const;
        void count(std::size_t entry, double nowSeconds);

    private:
        int limit;
        std::vector<std::uint32_t> keys;
        std::vector<double> last; // when each key was last seen; negative: unused
        std::vector<double> times;
        std::vector<std::size_t> next;
    };

    Table addresses;
    Table networks;
    Table everyone;
    std::vector<std::uint32_t> trustedAddresses;
    std::vector<double> trustedSince; // negative: unused
};
