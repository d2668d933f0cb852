#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// A bad link on loopback: a UDP relay between clients and a server that delays, jitters, drops
// and duplicates datagrams by a seeded schedule (jitter reorders them). Each client gets an
// upstream socket of its own, so the server sees one peer per client. It counts each client's
// UDP payload both ways, second by second. It can cut the link (every datagram dropped, both
// ways, until it is mended), and it shows what it carried last towards the server, as someone on
// the path sees it.
class LinkRelay {
public:
    struct Link {
        double delayMs = 60.0;  // one way, on average
        double jitterMs = 10.0; // one way, spread evenly either side of the delay
        double loss = 0.05;
        double duplicates = 0.01;
        std::uint64_t seed = 1;
        // Each client's datagram towards the server with this number (1: its first) is lost
        // whatever the schedule; 0: none.
        std::size_t loseUp = 0;
        // And each datagram towards a client with this number; 0: none.
        std::size_t loseDown = 0;

        // Every datagram delivered once, in order, after delayMs; the losses above chosen.
        static Link clean(double delayMs) {
            Link link;
            link.delayMs = delayMs;
            link.jitterMs = 0.0;
            link.loss = 0.0;
            link.duplicates = 0.0;
            return link;
        }
    };
    // Bytes one client sent (up) and was sent (down), per second since the relay started.
    struct Traffic {
        std::vector<std::uint64_t> up;
        std::vector<std::uint64_t> down;
    };

    LinkRelay(std::uint16_t serverPort, const Link& link);
    ~LinkRelay();
    LinkRelay(const LinkRelay&) = delete;
    LinkRelay& operator=(const LinkRelay&) = delete;

    // The port clients connect to.
    std::uint16_t port() const { return listenPort; }
    // Per client, in the order they first sent.
    std::vector<Traffic> traffic() const;
    // While cut, nothing gets through either way.
    void cut(bool down) { isCut = down; }
    // What client (in the order they first sent) sent towards the server last and was sent
    // last, and the port the server sees it from (on 127.0.0.1); empty datagrams before any.
    struct Sniffed {
        std::uint16_t port = 0;
        std::vector<std::uint8_t> up;
        std::vector<std::uint8_t> down;
    };
    Sniffed sniffed(std::size_t client) const;
    std::size_t clients() const;

private:
    void run();

    Link link;
    std::uint16_t serverPort;
    int listening = -1;
    std::uint16_t listenPort = 0;
    std::atomic<bool> stopping{false};
    std::atomic<bool> isCut{false};
    mutable std::mutex counting;
    std::vector<Traffic> counted;
    std::vector<Sniffed> seen;
    std::thread thread;
};
