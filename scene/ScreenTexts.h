#pragma once

#include "game/GameFlow.h"

#include <array>
#include <cstddef>

// One line of on-screen text: its first character's bottom-left corner in window pixels
// (y upwards) and its height in pixels.
struct TextLine {
    const char* text = "";
    int x = 0;
    int y = 0;
    int size = 0;
};

// The lines a frame shows: the frame-rate line when asked for, and the screen's own: the title
// and its prompt; the lives while playing; the end screen's headline, result and prompts,
// centred. Built every frame into storage of its own, without allocating.
class ScreenTexts {
public:
    static constexpr std::size_t kMaxLines = 16;

    // frameRate and frameMs are shown only when showFrameRate is set.
    void build(const GameFlow& flow, bool showFrameRate, double frameRate, double frameMs);

    const TextLine* begin() const { return lines.data(); }
    const TextLine* end() const { return lines.data() + count; }

private:
    void add(const char* text, int x, int y, int size);
    // Adds a line centred across the window.
    void addCentred(const char* text, int y, int size);

    std::array<TextLine, kMaxLines> lines{};
    std::size_t count = 0;
    char frameRateLine[64] = {};
    char livesLine[64] = {};
};
