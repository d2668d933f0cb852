#pragma once

#include "net/Protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The client's tick and its lead on the server. The clock runs 1 to 3 ticks ahead of the
// server's, so that each command reaches the server before the tick it is for. The server says
// in its snapshots how early the commands come; the clock steps up to kMaxRateChange faster or
// slower to stay in that window, and jumps when it is far out of it.
//
// It does not trust its server: a tick more than kSaneTicks from its own clock is not near()
// (the owner ends the connection on it), and a jump moves the clock by the lead reported, which
// the owner has checked to be near.
class ClockSync {
public:
    static constexpr int kLeadLow = 1; // ticks ahead of the server the commands are kept
    static constexpr int kLeadHigh = 3;
    static constexpr double kMaxRateChange = 0.05;
    // The most ticks a server's message may be from the client's clock.
    static constexpr std::uint32_t kSaneTicks = 600; // 10 s

    // Set ahead of the server's tick by half the round trip as known so far and the lead; the
    // first snapshots set it right. Everything heard before is forgotten.
    void start(std::uint32_t serverTick, std::uint32_t roundTripMs);
    // The clock has been set from the server's.
    bool synced() const { return started; }
    // The tick whose command was made last.
    std::uint32_t tick() const { return clock; }
    // One tick of the client's clock.
    void advance();
    // Whether tick is within kSaneTicks of the client's clock, either way.
    bool near(std::uint32_t tick) const;
    // A lead a snapshot reported, in 1/protocol::kLeadUnit ticks (protocol::kNoLead: none). Of
    // several snapshots taken in at once the least counts: the first after a frame's commands.
    void hear(std::int16_t lead);
    // The newest snapshot, of serverTick, taken in: the lead heard since the last one moves the
    // rate, or jumps the clock when far out of the window. Returns the ticks jumped (0: none).
    std::int32_t take(std::uint32_t serverTick);

    // The rate of the client's clock against real time, within 1 ± kMaxRateChange.
    double rate() const { return stepRate; }
    // How early the commands come, as the client has it, in ticks.
    float lead() const { return leadEstimate; }
    // The tick a drawing ticksBack behind the server's time, as the snapshots arrive, is at.
    float drawnTick(int ticksBack) const;

private:
    double stepRate = 1.0;
    std::uint32_t clock = 0;
    bool started = false;
    bool leadKnown = false; // the server has said how early the commands come
    int holdResync = 0;     // ticks before the lead may move the clock again
    // The lead reported is noisy: the link's jitter, and frames that make several ticks at
    // once (the first of them is the latest to arrive). The clock follows the least of the
    // recent reports, about half a second of them.
    static constexpr std::size_t kLeadWindow = 16; // snapshots
    float leadEstimate = 2.0f;                     // ticks, the least of the recent reports
    std::array<float, kLeadWindow> recentLeads{};
    std::size_t leadsSeen = 0; // reports since the clock last moved
    float behind = 0.0f;       // the clock's ticks past a snapshot's when it arrives
    std::int16_t heardLead = protocol::kNoLead; // the least lead since the last snapshot taken
};
