#include "net/LanFinder.h"

#include <sodium.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {
// Every address of the loopback's /8, which answers at once without multicast.
constexpr std::uint32_t kLoopbackBroadcast = 0x7FFFFFFFu; // 127.255.255.255, host byte order
constexpr std::size_t kLargestDatagram = 2048;            // bytes read of one; more is refused
} // namespace

LanFinder::LanFinder(std::uint16_t firstPort, int ports)
    : firstPort(firstPort), ports(std::clamp(ports, 1, 65536 - static_cast<int>(firstPort))) {
    if (sodium_init() < 0) {
        return;
    }
    socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        return;
    }
    const int on = 1;
    // Without arrival stamps an answer counts as arriving when it is read.
    setsockopt(socket, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    if (setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        close(socket);
        socket = -1;
        return;
    }
    sentAt.fill(-1.0);
    findInterfaces();
}

LanFinder::~LanFinder() {
    if (socket >= 0) {
        close(socket);
    }
}

double LanFinder::wallClock() {
    timespec time{};
    clock_gettime(CLOCK_REALTIME, &time);
    return static_cast<double>(time.tv_sec) + 1e-9 * static_cast<double>(time.tv_nsec);
}

double LanFinder::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - epoch).count();
}

void LanFinder::findInterfaces() {
    addressCount = 0;
    addresses[addressCount++] = htonl(kLoopbackBroadcast);
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return;
    }
    for (const ifaddrs* entry = list; entry != nullptr && addressCount < addresses.size();
         entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            (entry->ifa_flags & IFF_BROADCAST) == 0 || (entry->ifa_flags & IFF_UP) == 0 ||
            entry->ifa_broadaddr == nullptr) {
            continue;
        }
        const std::uint32_t broadcast =
            reinterpret_cast<const sockaddr_in*>(entry->ifa_broadaddr)->sin_addr.s_addr;
        const auto known = addresses.begin() + static_cast<std::ptrdiff_t>(addressCount);
        if (std::find(addresses.begin(), known, broadcast) == known) {
            addresses[addressCount++] = broadcast;
        }
    }
    freeifaddrs(list);
}

void LanFinder::probe() {
    if (!ok()) {
        return;
    }
    std::uint64_t nonce = 0;
    randombytes_buf(&nonce, sizeof nonce);
    nonces[nextNonce] = nonce;
    sentAt[nextNonce] = wallClock();
    nextNonce = (nextNonce + 1) % kNoncesKept;
    discovery::Request request;
    discovery::writeRequest(nonce, request);
    for (std::size_t i = 0; i < addressCount; ++i) {
        for (int port = 0; port < ports; ++port) {
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_addr.s_addr = addresses[i];
            to.sin_port = htons(static_cast<std::uint16_t>(firstPort + port));
            // A network that cannot be reached now is skipped; the next probe tries again.
            sendto(socket, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to),
                   sizeof to);
        }
    }
}

void LanFinder::receive(int timeoutMs) {
    if (!ok()) {
        return;
    }
    pollfd waiting{socket, POLLIN, 0};
    if (timeoutMs > 0) {
        poll(&waiting, 1, timeoutMs);
    }
    std::array<std::uint8_t, kLargestDatagram> datagram;
    alignas(cmsghdr) std::array<std::uint8_t, CMSG_SPACE(sizeof(timespec))> control;
    for (;;) {
        sockaddr_in from{};
        iovec part{datagram.data(), datagram.size()};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        const ssize_t size = recvmsg(socket, &message, 0);
        if (size < 0) {
            break;
        }
        double arrived = wallClock();
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
             header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_TIMESTAMPNS) {
                timespec stamp{};
                std::memcpy(&stamp, CMSG_DATA(header), sizeof stamp);
                arrived =
                    static_cast<double>(stamp.tv_sec) + 1e-9 * static_cast<double>(stamp.tv_nsec);
            }
        }
        if ((message.msg_flags & MSG_TRUNC) == 0 && from.sin_family == AF_INET) {
            take(datagram.data(), static_cast<std::size_t>(size), from.sin_addr.s_addr,
                 ntohs(from.sin_port), arrived);
        }
    }
    const double time = now();
    const auto silent = [time](const Found& server) {
        return time - server.heardAt > kForgetSeconds;
    };
    count = static_cast<std::size_t>(
        std::remove_if(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count), silent) -
        found.begin());
}

void LanFinder::take(const std::uint8_t* data, std::size_t size, std::uint32_t address,
                     std::uint16_t port, double arrived) {
    discovery::Answer answer;
    if (!discovery::readAnswer(data, size, answer)) {
        return;
    }
    const auto asked = std::find(nonces.begin(), nonces.end(), answer.nonce);
    const double sent =
        asked != nonces.end() ? sentAt[static_cast<std::size_t>(asked - nonces.begin())] : -1.0;
    if (sent < 0.0) {
        return; // not an answer to a request of ours
    }
    const double time = now();
    Found* entry =
        std::find_if(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count),
                     [&](const Found& server) { return server.about.serverId == answer.serverId; });
    if (entry == found.begin() + static_cast<std::ptrdiff_t>(count)) {
        if (count == found.size()) {
            return;
        }
        entry = &found[count++];
        entry->address = address;
        entry->port = port;
    } else if (entry->address != address || entry->port != port) {
        // The same server heard again through another interface: where it was first found
        // stays its address.
        entry->heardAt = time;
        return;
    }
    entry->about = answer;
    entry->roundTripMs = std::max(arrived - sent, 0.0) * 1000.0;
    entry->heardAt = time;
}

void LanFinder::Found::host(char* text, std::size_t size) const {
    const std::uint32_t dotted = ntohl(address);
    std::snprintf(text, size, "%u.%u.%u.%u", dotted >> 24, (dotted >> 16) & 0xFFu,
                  (dotted >> 8) & 0xFFu, dotted & 0xFFu);
}

void LanFinder::Found::where(char* text, std::size_t size) const {
    char dotted[16];
    host(dotted, sizeof dotted);
    std::snprintf(text, size, "%s:%u", dotted, static_cast<unsigned>(port));
}

const char* LanFinder::Found::modeName() const {
    if (about.mode == Mode::Duel) {
        return "duel";
    }
    return about.teams ? "battle, teams" : "battle";
}
