#pragma once

#include "platform/Keys.h"

#include <glm/glm.hpp>

#include <array>

// What the keyboard and mouse reported since the game last read them. Keys and mouse buttons
// are sticky: one pressed and released again before the game read it still reads as pressed,
// once. So a tap shorter than a frame is never lost, and a reader that reads every key once
// per update sees a tap in exactly one update. Codes outside the known range read released.
class InputState {
public:
    void keyEvent(int key, KeyAction action);
    void buttonEvent(int button, KeyAction action);
    void moveCursor(glm::ivec2 position) { cursorPosition = position; }
    // Wheel notches; fractions (from touchpads) add up to whole notches.
    void scroll(double notches) { wheelNotches += notches; }

    // Whether the key is held, or was tapped since the last read; a read consumes the tap.
    bool readKey(int key);
    bool readButton(int button);
    // Window pixels, y downwards.
    glm::ivec2 cursor() const { return cursorPosition; }
    // Notches scrolled since the window opened, rounded to whole notches.
    int wheel() const;

private:
    // A press not read yet is kept until one read has seen it; a press already read ends
    // with its release.
    enum class Level { Up, DownUnread, Down, TappedUp };
    static bool read(Level& level);
    static void event(Level& level, KeyAction action);

    std::array<Level, keys::kLast + 1> keyLevels{};
    std::array<Level, buttons::kLast + 1> buttonLevels{};
    glm::ivec2 cursorPosition{0};
    double wheelNotches = 0.0;
};
