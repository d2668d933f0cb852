#include "app/LanListing.h"

#include "net/LanFinder.h"

#include <chrono>
#include <cstdio>

namespace {
constexpr double kListingSeconds = 1.0;
// A second request halfway, for an answer or request lost on a busy network.
constexpr double kSecondProbeSeconds = 0.5;
constexpr int kWaitMs = 20; // between looks at the socket
constexpr int kExitNoSocket = 1;
} // namespace

int listLanGames(std::ostream& out) {
    LanFinder finder;
    if (!finder.ok()) {
        out << "Cannot look for games: no UDP socket to be had" << std::endl;
        return kExitNoSocket;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const auto elapsed = [start] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    finder.probe();
    bool probedAgain = false;
    while (elapsed() < kListingSeconds) {
        if (!probedAgain && elapsed() >= kSecondProbeSeconds) {
            finder.probe();
            probedAgain = true;
        }
        finder.receive(kWaitMs);
    }
    if (finder.size() == 0) {
        out << "No games found on the local network" << std::endl;
        return 0;
    }
    for (const LanFinder::Found& server : finder) {
        char where[32];
        server.where(where, sizeof where);
        out << server.about.name.data() << "  " << where << "  arena " << server.about.arena.data()
            << "  " << server.modeName() << "  " << server.about.persons << "/"
            << server.about.seats << " players  ";
        // Loopback and a wired LAN answer within a millisecond: a tenth shows them apart.
        char roundTrip[16];
        std::snprintf(roundTrip, sizeof roundTrip, server.roundTripMs < 10.0 ? "%.1f" : "%.0f",
                      server.roundTripMs);
        out << roundTrip << " ms";
        if (server.about.password) {
            out << "  password";
        }
        if (server.about.version != protocol::kVersion) {
            out << "  version " << server.about.version;
        }
        out << std::endl;
    }
    return 0;
}
