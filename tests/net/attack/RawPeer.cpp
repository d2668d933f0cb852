#include "RawPeer.h"

#include "net/EnetDatagram.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <random>

namespace {
using Clock = std::chrono::steady_clock;
constexpr std::size_t kLargestDatagram = 4096;

std::uint16_t sentTimeNow() {
    return static_cast<std::uint16_t>(enet_time_get());
}
} // namespace

RawPeer::RawPeer(std::uint32_t address) {
    fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in own{};
    own.sin_family = AF_INET;
    own.sin_addr.s_addr = htonl(address);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&own), sizeof own) != 0) {
        close(fd);
        fd = -1;
    }
    socklen_t size = sizeof own;
    if (fd >= 0 && getsockname(fd, reinterpret_cast<sockaddr*>(&own), &size) == 0) {
        ownPort = ntohs(own.sin_port);
    }
}

RawPeer::~RawPeer() {
    if (fd >= 0) {
        close(fd);
    }
}

void RawPeer::send(const EnetForge::Bytes& bytes) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    server.sin_port = htons(serverPort);
    sendto(fd, bytes.data(), bytes.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&server),
           sizeof server);
}

std::uint16_t RawPeer::nextReliable(std::uint8_t channel) {
    return ++reliableSequences[channel];
}

EnetForge RawPeer::datagram() const {
    return EnetForge(serverPeer, session, sentTimeNow());
}

bool RawPeer::connect(std::uint16_t port, bool finish, double seconds) {
    serverPort = port;
    std::random_device random;
    send(EnetForge(EnetDatagram::kNoPeer, 0, sentTimeNow()).connect(0, random()).bytes());
    reliableSequences[0xFF] = 1;
    const Clock::time_point until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(seconds));
    constexpr double kLook = 0.002;
    while (finish && !verified && Clock::now() < until) {
        receive(kLook);
    }
    return verified;
}

void RawPeer::receive(double seconds) {
    const Clock::time_point until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(seconds));
    std::vector<std::uint8_t> buffer(kLargestDatagram);
    bool first = true;
    while (first || Clock::now() < until) {
        first = false;
        pollfd watched{fd, POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (poll(&watched, 1, static_cast<int>(std::max<long>(0, left))) <= 0) {
            break;
        }
        const ssize_t size = recv(fd, buffer.data(), buffer.size(), 0);
        EnetDatagram datagram;
        if (size <= 0 || !datagram.read(buffer.data(), static_cast<std::size_t>(size))) {
            continue;
        }
        const std::uint16_t theirTime =
            datagram.sentTime() ? static_cast<std::uint16_t>((buffer[2] << 8) | buffer[3]) : 0;
        EnetForge acks = EnetForge(serverPeer, session, sentTimeNow());
        bool acknowledging = false;
        for (std::size_t i = 0; i < datagram.size(); ++i) {
            const EnetDatagram::Command& command = datagram[i];
            if (command.number == ENET_PROTOCOL_COMMAND_VERIFY_CONNECT && !verified) {
                verified = true;
                serverPeer = EnetDatagram::field16(command, 4);
                session = command.fields[7];
                acks = EnetForge(serverPeer, session, sentTimeNow());
            }
            goodbye = goodbye || (verified && command.number == ENET_PROTOCOL_COMMAND_DISCONNECT);
            if (command.number == ENET_PROTOCOL_COMMAND_SEND_RELIABLE) {
                received.emplace_back(command.payload, command.payload + command.payloadSize);
            }
            if ((command.flags & ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE) != 0) {
                acks.acknowledge(command.channel, command.reliableSequence, theirTime);
                acknowledging = true;
            }
        }
        if (acknowledging && verified) {
            send(acks.bytes());
        }
    }
}
