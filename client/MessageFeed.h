#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// A few lines of news for the window: who joined or left, what became of the connection, what
// the game fell back to at start-up. Each message shows for kShowSeconds, then fades out over
// kFadeSeconds; when the rows are full, a new message pushes the oldest out. A message longer
// than a row wraps onto the next, at a space where there is one. What is shown is printable
// ASCII, as the font has it: an ellipsis becomes "...", any other byte outside it '?'.
// Adding and ageing allocate nothing.
class MessageFeed {
public:
    static constexpr std::size_t kRows = 5;
    static constexpr std::size_t kColumns = 48; // characters in a row
    static constexpr float kShowSeconds = 6.0f;
    static constexpr float kFadeSeconds = 1.0f;

    // A message; each line of it comes as a message of its own.
    void add(std::string_view message);
    void advance(float seconds);

    // The rows shown, oldest first.
    std::size_t size() const { return count; }
    const char* text(std::size_t row) const;
    // 1 while a row shows whole, falling to 0 as it fades.
    float opacity(std::size_t row) const;

private:
    struct Row {
        std::array<char, kColumns + 1> text{};
        float age = 0.0f; // seconds
    };
    // One line, wrapped into rows.
    void addLine(std::string_view line);
    // Adds one row of up to kColumns characters.
    void addRow(std::string_view text);
    const Row& at(std::size_t row) const { return rows[(first + row) % kRows]; }

    std::array<Row, kRows> rows{};
    std::size_t first = 0; // the oldest row shown
    std::size_t count = 0;
};
