#include "net/ConsoleQueue.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kWaitMs = 50; // between looks at a descriptor that takes nothing
} // namespace

ConsoleQueue::ConsoleQueue(int fd) : fd(fd), writer([this] { run(); }) {}

ConsoleQueue::~ConsoleQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        drainUntil = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(kDrainSeconds));
    }
    wake.notify_all();
    writer.join();
}

void ConsoleQueue::push(const char* text, std::size_t size) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (count == ring.size()) {
            ++droppedLines;
            return;
        }
        Line& line = ring[(first + count) % ring.size()];
        line.size = std::min(size, kLineBytes);
        std::memcpy(line.text.data(), text, line.size);
        line.text[line.size++] = '\n';
        ++count;
    }
    wake.notify_one();
}

std::uint64_t ConsoleQueue::dropped() const {
    std::lock_guard<std::mutex> lock(mutex);
    return droppedLines;
}

int ConsoleQueue::Lines::overflow(int c) {
    if (c != traits_type::eof()) {
        const char character = static_cast<char>(c);
        xsputn(&character, 1);
    }
    return c;
}

std::streamsize ConsoleQueue::Lines::xsputn(const char* s, std::streamsize n) {
    std::lock_guard<std::mutex> lock(mutex);
    for (std::streamsize i = 0; i < n; ++i) {
        if (s[i] == '\n') {
            queue.push(partial.data(), partial.size());
            partial.clear();
        } else if (partial.size() < kLineBytes) {
            partial.push_back(s[i]);
        }
    }
    return n;
}

bool ConsoleQueue::write(const Line& line) {
    std::size_t written = 0;
    while (written < line.size) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping && Clock::now() > drainUntil) {
                return false;
            }
        }
        pollfd watched{fd, POLLOUT, 0};
        const int ready = poll(&watched, 1, kWaitMs);
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (ready <= 0) {
            continue;
        }
        if ((watched.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return false;
        }
        const ssize_t done = ::write(fd, line.text.data() + written, line.size - written);
        if (done < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
        written += done > 0 ? static_cast<std::size_t>(done) : 0;
    }
    return true;
}

void ConsoleQueue::run() {
    Line line;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return stopping || count > 0; });
            if (count == 0) {
                return;
            }
            line = ring[first];
            first = (first + 1) % ring.size();
            --count;
        }
        if (!write(line)) {
            std::lock_guard<std::mutex> lock(mutex);
            ++droppedLines;
        }
    }
}
