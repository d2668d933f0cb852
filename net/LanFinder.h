#pragma once

#include "net/Discovery.h"
#include "net/Protocol.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

// Finds the games on the local network: sends a discovery request (Discovery) to each of a few
// ports from firstPort on, at every interface's broadcast address and at 127.255.255.255 (the
// loopback has no multicast; 255.255.255.255 needs a default route; servers on one machine
// listen on different ports), and takes in the answers. An answer is untrusted: it must read
// whole, echo the nonce of one of the last few requests, and its strings are cleaned. Each
// server is kept once, by its id, with the address it answered from, and forgotten once it has
// not answered for kForgetSeconds.
//
// Everything is made when the finder is: probing and receiving allocate nothing, so that a
// screen may do both every frame; only findInterfaces() does. A round trip runs from the
// request's sending to the answer's arrival as the kernel stamped it, however late it is read.
class LanFinder {
public:
    static constexpr int kPortsProbed = 8;
    static constexpr std::size_t kMostServers = 32;
    static constexpr std::size_t kMostAddresses = 16; // broadcast addresses probed
    static constexpr double kForgetSeconds = 3.0;

    struct Found {
        discovery::Answer about;
        std::uint32_t address = 0; // IPv4, network byte order
        std::uint16_t port = 0;
        double roundTripMs = 0.0; // of its latest answer
        double heardAt = 0.0;     // seconds since the finder was made
        // "A.B.C.D", and "A.B.C.D:PORT"
        void host(char* text, std::size_t size) const;
        void where(char* text, std::size_t size) const;
        // "duel", "battle" or "battle, teams"
        const char* modeName() const;
    };

    // Checks ok(): false when no socket could be had.
    explicit LanFinder(std::uint16_t firstPort = protocol::kDefaultPort, int ports = kPortsProbed);
    ~LanFinder();
    LanFinder(const LanFinder&) = delete;
    LanFinder& operator=(const LanFinder&) = delete;

    bool ok() const { return socket >= 0; }
    // The interfaces' broadcast addresses, found again (they may have changed since).
    void findInterfaces();
    // A fresh request to every address and port.
    void probe();
    // Takes in every answer that has come, waiting up to timeoutMs for one; forgets the servers
    // silent too long.
    void receive(int timeoutMs);
    // Forgets every server found.
    void clear() { count = 0; }

    std::size_t size() const { return count; }
    const Found& operator[](std::size_t index) const { return found[index]; }
    const Found* begin() const { return found.data(); }
    const Found* end() const { return found.data() + count; }

private:
    static constexpr std::size_t kNoncesKept = 4;
    double now() const;
    // The wall clock in seconds: the kernel stamps each answer's arrival by it.
    static double wallClock();
    // arrived: when the answer came, by wallClock().
    void take(const std::uint8_t* data, std::size_t size, std::uint32_t address, std::uint16_t port,
              double arrived);

    int socket = -1;
    std::uint16_t firstPort;
    int ports;
    std::chrono::steady_clock::time_point epoch = std::chrono::steady_clock::now();
    std::array<std::uint32_t, kMostAddresses> addresses{}; // network byte order
    std::size_t addressCount = 0;
    std::array<std::uint64_t, kNoncesKept> nonces{};
    std::array<double, kNoncesKept> sentAt{}; // by wallClock(); negative: none
    std::size_t nextNonce = 0;
    std::array<Found, kMostServers> found{};
    std::size_t count = 0;
};
