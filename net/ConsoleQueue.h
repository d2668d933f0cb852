#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>

// Lines for a console that must never hold up the thread that writes them: each line is put in
// a bounded queue (kLines lines, each cut to kLineBytes) and written out to a file descriptor by
// a thread of its own. When the queue is full, or the descriptor is closed, lines are dropped
// and counted. The writer waits for the descriptor with a timeout, so a console nobody reads
// never keeps it from stopping: on destruction it writes what it can within kDrainSeconds.
// SIGPIPE must be ignored by the process (a closed pipe is then an error like any other).
class ConsoleQueue {
public:
    static constexpr std::size_t kLines = 256;
    static constexpr std::size_t kLineBytes = 160;
    static constexpr double kDrainSeconds = 1.0;

    explicit ConsoleQueue(int fd);
    ~ConsoleQueue();
    ConsoleQueue(const ConsoleQueue&) = delete;
    ConsoleQueue& operator=(const ConsoleQueue&) = delete;

    // A stream whose every line ('\n' ended) goes into the queue; safe from any thread when
    // each write is one whole line.
    std::ostream& stream() { return out; }
    // Queues text as one line (without its '\n').
    void push(const char* text, std::size_t size);
    // Lines dropped so far.
    std::uint64_t dropped() const;

private:
    class Lines : public std::streambuf {
    public:
        explicit Lines(ConsoleQueue& queue) : queue(queue) {}

    protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;

    private:
        ConsoleQueue& queue;
        std::mutex mutex;
        std::string partial; // of the line being written
    };
    struct Line {
        std::array<char, kLineBytes + 1> text{}; // with its '\n'
        std::size_t size = 0;
    };

    void run();
    // Writes line to the descriptor, waiting for it at most until stopping; false when it
    // could not be written.
    bool write(const Line& line);

    int fd;
    Lines buffer{*this};
    std::ostream out{&buffer};
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::array<Line, kLines> ring;
    std::size_t first = 0;
    std::size_t count = 0;
    std::uint64_t droppedLines = 0;
    bool stopping = false;
    std::chrono::steady_clock::time_point drainUntil; // once stopping
    std::thread writer;
};
