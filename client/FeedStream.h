#pragma once

#include "client/MessageFeed.h"

#include <array>
#include <cstddef>
#include <ostream>
#include <streambuf>

// An output stream that writes through to a console stream, unchanged and in the chunks it is
// given (a line written at once reaches the console at once), and hands each whole line to a
// message feed too: what the game says there also shows in its window. Writing allocates
// nothing.
class FeedStream : public std::ostream {
public:
    FeedStream(std::ostream& console, MessageFeed& feed);
    FeedStream(const FeedStream&) = delete;
    FeedStream& operator=(const FeedStream&) = delete;

    // The last whole line written ("" before one), cut to its first kLineLength characters.
    const char* lastLine() const { return buffer.last.data(); }

    static constexpr std::size_t kLineLength = 255;

private:
    class Buffer : public std::streambuf {
    public:
        Buffer(std::ostream& console, MessageFeed& feed) : console(console), feed(feed) {}

        std::array<char, kLineLength + 1> last{};

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;
        int sync() override;

    private:
        void take(char c);

        std::ostream& console;
        MessageFeed& feed;
        std::array<char, kLineLength + 1> line{};
        std::size_t length = 0;
    };

    Buffer buffer;
};
