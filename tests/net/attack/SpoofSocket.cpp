#include "SpoofSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

SpoofSocket::SpoofSocket() : fd(socket(AF_INET, SOCK_RAW, IPPROTO_RAW)) {}

SpoofSocket::~SpoofSocket() {
    if (fd >= 0) {
        close(fd);
    }
}

bool SpoofSocket::send(std::uint32_t fromAddress, std::uint16_t fromPort, std::uint32_t toAddress,
                       std::uint16_t toPort, const std::vector<std::uint8_t>& payload) {
    if (fd < 0 || (toAddress >> 24) != 127) {
        return false;
    }
    std::vector<std::uint8_t> packet(sizeof(iphdr) + sizeof(udphdr) + payload.size());
    iphdr ip{};
    ip.version = 4;
    ip.ihl = sizeof(iphdr) / 4;
    ip.ttl = 64;
    ip.protocol = IPPROTO_UDP;
    ip.saddr = htonl(fromAddress);
    ip.daddr = htonl(toAddress);
    ip.tot_len = htons(static_cast<std::uint16_t>(packet.size())); // the kernel fills the checksum
    udphdr udp{};
    udp.source = htons(fromPort);
    udp.dest = htons(toPort);
    udp.len = htons(static_cast<std::uint16_t>(sizeof(udphdr) + payload.size()));
    udp.check = 0; // none, which IPv4 allows
    std::memcpy(packet.data(), &ip, sizeof ip);
    std::memcpy(packet.data() + sizeof ip, &udp, sizeof udp);
    std::memcpy(packet.data() + sizeof ip + sizeof udp, payload.data(), payload.size());
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(toAddress);
    return sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to),
                  sizeof to) == static_cast<ssize_t>(packet.size());
}
