#include "game/PlayerName.h"

#include <algorithm>

namespace player_name {

namespace {
constexpr char kFirstPrintable = ' ';
constexpr char kLastPrintable = '~';
constexpr char kStandIn = '?';

bool printable(char c) {
    return c >= kFirstPrintable && c <= kLastPrintable;
}
} // namespace

bool valid(std::string_view text) {
    return !text.empty() && text.size() <= kMaxLength &&
           std::all_of(text.begin(), text.end(), printable) &&
           text.find_first_not_of(' ') != std::string_view::npos;
}

Name cleaned(std::string_view text, std::string_view fallback) {
    Name name{};
    const std::size_t length = std::min(text.size(), kMaxLength);
    for (std::size_t i = 0; i < length; ++i) {
        name[i] = printable(text[i]) ? text[i] : kStandIn;
    }
    if (!valid(std::string_view(name.data(), length))) {
        name.fill('\0');
        std::copy_n(fallback.begin(), std::min(fallback.size(), kMaxLength), name.begin());
    }
    return name;
}

} // namespace player_name
