#pragma once

#include "client/GameFlow.h"

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

// What a frame's texts show besides each screen's own lines.
struct TextOptions {
    bool frameRate = false; // the frame-rate line, with these figures
    double framesPerSecond = 0.0;
    double frameMilliseconds = 0.0;
    bool help = false;        // the list of controls over a running match
    bool padControls = false; // the pad's controls in the list too (a pad is connected)
};

// The lines a frame shows: the frame-rate line when asked for, and the screen's own: the title,
// its prompt and the list of controls under it; the lives while playing, and the list of
// controls when asked for; the end screen's headline, result and prompts, centred. Built every
// frame into storage of its own, without allocating.
class ScreenTexts {
public:
    static constexpr std::size_t kMaxLines = 16;

    void build(const GameFlow& flow, const TextOptions& options);

    const TextLine* begin() const { return lines.data(); }
    const TextLine* end() const { return lines.data() + count; }

private:
    void add(const char* text, int x, int y, int size);
    // Adds a line centred across the window.
    void addCentred(const char* text, int y, int size);
    // The list of controls, its first line's cells topY pixels above the window's bottom.
    void addControls(int topY, bool padControls);

    std::array<TextLine, kMaxLines> lines{};
    std::size_t count = 0;
    char frameRateLine[64] = {};
    char livesLine[64] = {};
};
