#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The name a person plays under, as a plain value: 1 to kMaxLength printable ASCII characters
// (what the game's font draws), not all of them spaces.
namespace player_name {

inline constexpr std::size_t kMaxLength = 16;
using Name = std::array<char, kMaxLength + 1>; // always ends in '\0'

// Whether text is a name as it stands.
bool valid(std::string_view text);
// text made into a name, whatever it holds: characters the font lacks become '?', the rest is
// cut to kMaxLength, and a name left blank becomes fallback (itself valid).
Name cleaned(std::string_view text, std::string_view fallback);

} // namespace player_name
