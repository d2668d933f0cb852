#pragma once

#include "EnetForge.h"

#include <array>
#include <cstdint>
#include <vector>

// A hand-made ENet client on a UDP socket of its own, bound to a chosen loopback address
// (127.x.y.z, so that every attacker can come from another address): it connects (a CONNECT,
// the server's VERIFY_CONNECT acknowledged) and then sends whatever datagrams a test makes in
// that connection's peer and session. Nothing waits longer than it is told.
class RawPeer {
public:
    // Binds to address (host byte order, 127.x.y.z) and any free port; check ok().
    explicit RawPeer(std::uint32_t address);
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool ok() const { return fd >= 0; }
    std::uint16_t port() const { return ownPort; }

    // Sends a CONNECT to the server on port; with finish, waits up to seconds for its
    // VERIFY_CONNECT and acknowledges it: true once connected.
    bool connect(std::uint16_t serverPort, bool finish, double seconds);
    bool connected() const { return verified; }
    // The server has sent its DISCONNECT (acknowledged, as every reliable command is).
    bool dismissed() const { return goodbye; }
    // A datagram in this connection, with a sent time.
    EnetForge datagram() const;
    void send(const EnetForge::Bytes& bytes);
    // The next reliable sequence number of channel (0xFF: ENet's own commands).
    std::uint16_t nextReliable(std::uint8_t channel);
    std::uint16_t nextGroup() { return ++group; }
    // Reads what the server sends for up to seconds (at least once), acknowledging its reliable
    // commands; the payload of each reliable one goes to received.
    void receive(double seconds);
    std::vector<EnetForge::Bytes> received;

private:
    int fd = -1;
    std::uint16_t ownPort = 0;
    std::uint16_t serverPort = 0;
    bool verified = false;
    bool goodbye = false;
    std::uint16_t serverPeer = 0;
    std::uint8_t session = 0;
    std::array<std::uint16_t, 256> reliableSequences{};
    std::uint16_t group = 0;
};
