#pragma once

#include <enet/enet.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// Raw ENet 1.3.17 datagrams made by hand, byte by byte as ENet lays them out (big-endian), for
// a test's attacker: any command with any numbers, whether ENet would ever send it or not.
class EnetForge {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Starts a datagram to peer (EnetDatagram::kNoPeer for a connect) in session, with the sent
    // time when sentTime >= 0.
    explicit EnetForge(std::uint16_t peer, std::uint8_t session = 0, int sentTime = 0);

    EnetForge& connect(std::uint16_t ownPeer, std::uint32_t connectId, std::uint32_t channels = 3,
                       std::uint32_t mtu = ENET_HOST_DEFAULT_MTU);
    EnetForge& acknowledge(std::uint8_t channel, std::uint16_t sequence, std::uint16_t sentTime);
    EnetForge& ping(std::uint16_t sequence);
    EnetForge& disconnect(std::uint16_t sequence, bool reliable = true);
    EnetForge& throttle(std::uint16_t sequence, std::uint32_t interval, std::uint32_t acceleration,
                        std::uint32_t deceleration);
    EnetForge& bandwidth(std::uint16_t sequence, std::uint32_t incoming, std::uint32_t outgoing);
    EnetForge& reliable(std::uint8_t channel, std::uint16_t sequence, const Bytes& payload);
    EnetForge& unreliable(std::uint8_t channel, std::uint16_t reliableSequence,
                          std::uint16_t sequence, const Bytes& payload);
    EnetForge& unsequenced(std::uint8_t channel, std::uint16_t group, const Bytes& payload);
    EnetForge& fragment(std::uint8_t channel, std::uint16_t start, std::uint32_t count,
                        std::uint32_t number, std::uint32_t total, std::uint32_t offset,
                        const Bytes& payload, bool reliable = true);

    const Bytes& bytes() const { return datagram; }

private:
    void header(std::uint8_t command, std::uint8_t channel, std::uint16_t sequence);
    void u8(std::uint8_t value) { datagram.push_back(value); }
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void payload(const Bytes& bytes);

    Bytes datagram;
};
