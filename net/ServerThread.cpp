#include "net/ServerThread.h"

#include <algorithm>
#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double>(static_cast<double>(Match::kTickSeconds)));
constexpr auto kLongestCatchUp = std::chrono::milliseconds(250);
} // namespace

ServerThread::ServerThread(Server& server) : server(server), thread([this] { run(); }) {}

ServerThread::~ServerThread() {
    stopping = true;
    thread.join();
}

void ServerThread::run() {
    Clock::time_point next = Clock::now();
    while (!stopping) {
        server.tick();
        next += kTick;
        if (Clock::now() - next > kLongestCatchUp) {
            next = Clock::now();
        }
        for (Clock::time_point now = Clock::now(); !stopping && now < next; now = Clock::now()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(next - now);
            server.service(static_cast<std::uint32_t>(std::max<long>(1, left.count())));
        }
    }
}
