#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Sends UDP datagrams with any source address and port, as someone on the path or the same LAN
// can: a raw IPv4 socket, so root only (check ok()). Only to loopback addresses.
class SpoofSocket {
public:
    SpoofSocket();
    ~SpoofSocket();
    SpoofSocket(const SpoofSocket&) = delete;
    SpoofSocket& operator=(const SpoofSocket&) = delete;

    bool ok() const { return fd >= 0; }
    // Addresses in host byte order; the destination must be in 127.0.0.0/8.
    bool send(std::uint32_t fromAddress, std::uint16_t fromPort, std::uint32_t toAddress,
              std::uint16_t toPort, const std::vector<std::uint8_t>& payload);

private:
    int fd = -1;
};
