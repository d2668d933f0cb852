#include "client/MessageFeed.h"

#include <algorithm>

namespace {
constexpr char kUnknown = '?';
// The ellipsis in UTF-8 and what the font shows for it.
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";
constexpr std::string_view kThreeDots = "...";
constexpr std::size_t kLongestMessage = 512; // characters kept of one message

bool printable(char c) {
    return c >= ' ' && c <= '~';
}

// A UTF-8 sequence's length from its first byte; 1 for anything else.
std::size_t sequenceLength(unsigned char first) {
    if ((first & 0xE0u) == 0xC0u) {
        return 2;
    }
    if ((first & 0xF0u) == 0xE0u) {
        return 3;
    }
    if ((first & 0xF8u) == 0xF0u) {
        return 4;
    }
    return 1;
}
} // namespace

void MessageFeed::add(std::string_view message) {
    while (!message.empty()) {
        const std::size_t end = std::min(message.find('\n'), message.size());
        addLine(message.substr(0, end));
        message.remove_prefix(std::min(end + 1, message.size()));
    }
}

void MessageFeed::addLine(std::string_view message) {
    // The line in the font's characters.
    std::array<char, kLongestMessage> shown{};
    std::size_t length = 0;
    std::size_t i = 0;
    while (i < message.size() && length < shown.size()) {
        const char c = message[i];
        if (message.substr(i, kEllipsis.size()) == kEllipsis) {
            for (std::size_t d = 0; d < kThreeDots.size() && length < shown.size(); ++d) {
                shown[length++] = kThreeDots[d];
            }
            i += kEllipsis.size();
        } else if (printable(c)) {
            shown[length++] = c;
            ++i;
        } else {
            if (c != '\r') {
                shown[length++] = kUnknown; // one for a whole UTF-8 sequence
            }
            i += std::min(sequenceLength(static_cast<unsigned char>(c)), message.size() - i);
        }
    }
    std::string_view rest(shown.data(), length);
    while (!rest.empty()) {
        std::size_t cut = std::min(rest.size(), kColumns);
        if (cut < rest.size()) {
            const std::size_t space = rest.substr(0, cut + 1).rfind(' ');
            if (space != std::string_view::npos && space > kColumns / 2) {
                cut = space;
            }
        }
        addRow(rest.substr(0, cut));
        rest.remove_prefix(cut);
        while (!rest.empty() && rest.front() == ' ') {
            rest.remove_prefix(1);
        }
    }
}

void MessageFeed::addRow(std::string_view text) {
    if (count == kRows) {
        first = (first + 1) % kRows;
        --count;
    }
    Row& row = rows[(first + count) % kRows];
    const std::size_t length = std::min(text.size(), kColumns);
    std::copy_n(text.begin(), length, row.text.begin());
    row.text[length] = '\0';
    row.age = 0.0f;
    ++count;
}

void MessageFeed::advance(float seconds) {
    for (std::size_t row = 0; row < count; ++row) {
        rows[(first + row) % kRows].age += seconds;
    }
    // The oldest rows go first; rows of one message go together.
    while (count > 0 && at(0).age >= kShowSeconds + kFadeSeconds) {
        first = (first + 1) % kRows;
        --count;
    }
}

const char* MessageFeed::text(std::size_t row) const {
    return row < count ? at(row).text.data() : "";
}

float MessageFeed::opacity(std::size_t row) const {
    if (row >= count) {
        return 0.0f;
    }
    return std::clamp((kShowSeconds + kFadeSeconds - at(row).age) / kFadeSeconds, 0.0f, 1.0f);
}
