#include "net/LinkRelay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <queue>
#include <random>
#include <stdexcept>

namespace {
using Clock = std::chrono::steady_clock;
constexpr std::size_t kLargestDatagram = 65536;

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

int boundSocket(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(port);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("relay: cannot bind a UDP socket");
    }
    return fd;
}

std::uint16_t portOf(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

bool sameAddress(const sockaddr_in& a, const sockaddr_in& b) {
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

struct Client {
    sockaddr_in address{};
    int upstream = -1;
    std::size_t sentUp = 0;   // datagrams towards the server
    std::size_t sentDown = 0; // and towards the client
};

struct Due {
    Clock::time_point when;
    std::size_t client;
    bool up; // towards the server
    std::vector<std::uint8_t> bytes;
    bool operator>(const Due& other) const { return when > other.when; }
};
} // namespace

LinkRelay::LinkRelay(std::uint16_t serverPort, const Link& link)
    : link(link), serverPort(serverPort), listening(boundSocket(0)), listenPort(portOf(listening)),
      thread([this] { run(); }) {}

LinkRelay::~LinkRelay() {
    stopping = true;
    thread.join();
    close(listening);
}

std::vector<LinkRelay::Traffic> LinkRelay::traffic() const {
    std::lock_guard<std::mutex> lock(counting);
    return counted;
}

LinkRelay::Sniffed LinkRelay::sniffed(std::size_t client) const {
    std::lock_guard<std::mutex> lock(counting);
    return client < seen.size() ? seen[client] : Sniffed();
}

std::size_t LinkRelay::clients() const {
    std::lock_guard<std::mutex> lock(counting);
    return seen.size();
}

void LinkRelay::run() {
    std::mt19937_64 random(link.seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Clock::time_point start = Clock::now();
    std::vector<Client> clients;
    std::priority_queue<Due, std::vector<Due>, std::greater<>> queue;
    std::vector<std::uint8_t> buffer(kLargestDatagram);
    const sockaddr_in server = loopback(serverPort);

    const auto count = [&](std::size_t client, bool up, std::size_t bytes) {
        const auto second =
            static_cast<std::size_t>(std::chrono::duration<double>(Clock::now() - start).count());
        std::lock_guard<std::mutex> lock(counting);
        std::vector<std::uint64_t>& seconds = up ? counted[client].up : counted[client].down;
        if (seconds.size() <= second) {
            seconds.resize(second + 1, 0);
        }
        seconds[second] += bytes;
    };
    const auto schedule = [&](std::size_t client, bool up, std::size_t size) {
        count(client, up, size);
        {
            std::lock_guard<std::mutex> lock(counting);
            std::vector<std::uint8_t>& last = up ? seen[client].up : seen[client].down;
            last.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size));
        }
        const bool chosen = up ? ++clients[client].sentUp == link.loseUp
                               : ++clients[client].sentDown == link.loseDown;
        if (isCut || unit(random) < link.loss || chosen) {
            return;
        }
        const int copies = unit(random) < link.duplicates ? 2 : 1;
        for (int copy = 0; copy < copies; ++copy) {
            const double ms = link.delayMs + (unit(random) * 2.0 - 1.0) * link.jitterMs;
            queue.push({Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double, std::milli>(ms)),
                        client, up,
                        std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + size)});
        }
    };

    while (!stopping) {
        std::vector<pollfd> watched{{listening, POLLIN, 0}};
        for (const Client& client : clients) {
            watched.push_back({client.upstream, POLLIN, 0});
        }
        int waitMs = 5;
        if (!queue.empty()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                queue.top().when - Clock::now());
            waitMs = static_cast<int>(std::clamp<long>(left.count(), 0, 5));
        }
        poll(watched.data(), watched.size(), waitMs);
        if ((watched[0].revents & POLLIN) != 0) {
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t size = recvfrom(listening, buffer.data(), buffer.size(), 0,
                                          reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (size >= 0) {
                auto known = std::find_if(clients.begin(), clients.end(), [&](const Client& c) {
                    return sameAddress(c.address, from);
                });
                if (known == clients.end()) {
                    clients.push_back({from, boundSocket(0)});
                    std::lock_guard<std::mutex> lock(counting);
                    counted.emplace_back();
                    seen.push_back({portOf(clients.back().upstream), {}, {}});
                    known = clients.end() - 1;
                }
                schedule(static_cast<std::size_t>(known - clients.begin()), true,
                         static_cast<std::size_t>(size));
            }
        }
        for (std::size_t i = 0; i + 1 < watched.size(); ++i) {
            if ((watched[i + 1].revents & POLLIN) == 0) {
                continue;
            }
            const ssize_t size = recv(clients[i].upstream, buffer.data(), buffer.size(), 0);
            if (size >= 0) {
                schedule(i, false, static_cast<std::size_t>(size));
            }
        }
        while (!queue.empty() && queue.top().when <= Clock::now()) {
            const Due& due = queue.top();
            if (isCut) {
                queue.pop();
                continue;
            }
            const Client& client = clients[due.client];
            if (due.up) {
                sendto(client.upstream, due.bytes.data(), due.bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&server), sizeof server);
            } else {
                sendto(listening, due.bytes.data(), due.bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&client.address), sizeof client.address);
            }
            queue.pop();
        }
    }
    for (const Client& client : clients) {
        close(client.upstream);
    }
}
