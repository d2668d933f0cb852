#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

// A stranger that never proves itself and floods a server with whatever ENet datagrams it likes,
// at a set rate for a set time, on a thread of its own: from a connection it completed but never
// says Hello on, zero-length reliable packets on every channel in descending order (some
// datagrams as full of them as a datagram can be), unsequenced groups far ahead, fragments that
// never complete; and connects that never finish, from the next address. It makes a new
// connection whenever the server has had time to sweep the last one away.
class StrangerFlood {
public:
    struct Settings {
        std::uint16_t port = 0;
        double seconds = 10.0;
        double bytesPerSecond = 500000.0;
        std::uint32_t address = 0x7F030001; // 127.3.0.1, and the next one
    };

    explicit StrangerFlood(const Settings& settings);
    ~StrangerFlood();
    StrangerFlood(const StrangerFlood&) = delete;
    StrangerFlood& operator=(const StrangerFlood&) = delete;

    bool done() const { return finished; }
    std::uint64_t bytesSent() const { return sent; }
    std::uint64_t datagramsSent() const { return datagrams; }
    int connections() const { return connected; }

private:
    void run();

    Settings settings;
    std::atomic<bool> stopping{false};
    std::atomic<bool> finished{false};
    std::atomic<std::uint64_t> sent{0};
    std::atomic<std::uint64_t> datagrams{0};
    std::atomic<int> connected{0};
    std::thread thread;
};
