#include "client/FeedStream.h"

#include <string_view>

FeedStream::FeedStream(std::ostream& console, MessageFeed& feed)
    : std::ostream(nullptr), buffer(console, feed) {
    rdbuf(&buffer);
}

void FeedStream::Buffer::take(char c) {
    if (c != '\n') {
        if (length < kLineLength) {
            line[length++] = c;
        }
        return;
    }
    line[length] = '\0';
    last = line;
    feed.add(std::string_view(line.data(), length));
    length = 0;
}

FeedStream::Buffer::int_type FeedStream::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char written = traits_type::to_char_type(c);
    console.rdbuf()->sputc(written);
    take(written);
    return c;
}

std::streamsize FeedStream::Buffer::xsputn(const char* text, std::streamsize count) {
    console.rdbuf()->sputn(text, count);
    for (std::streamsize i = 0; i < count; ++i) {
        take(text[i]);
    }
    return count;
}

int FeedStream::Buffer::sync() {
    console.flush();
    return 0;
}
