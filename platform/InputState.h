#pragma once

#include "platform/Keys.h"
#include "platform/PadState.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>

// What the keyboard, the mouse and a gamepad reported since the game last read them. Keys,
// mouse buttons and pad buttons are sticky: one pressed and released again before the game
// read it still reads as pressed, once. So a tap shorter than a frame is never lost, and a
// reader that reads every key once per update sees a tap in exactly one update. Codes
// outside the known range read released.
//
// The pad is polled once a frame (padPolled): its buttons' changes since the last poll become
// presses and releases, and so does the right trigger, as the button kRightTriggerPull, which
// goes down when pulled past kTriggerDown and up again only once let go below kTriggerUp, so
// that a trigger resting near the threshold does not chatter.
class InputState {
public:
    void keyEvent(int key, KeyAction action);
    void buttonEvent(int button, KeyAction action);
    // The pointer at position, window pixels; while captured, its move from the last position
    // adds to the look motion.
    void moveCursor(glm::ivec2 position);
    // Captures the pointer (mouse aim) or lets it go. Either way the look motion starts afresh,
    // from the next position reported: a jump of the pointer as it is captured or let go moves
    // nothing.
    void capturePointer(bool captured);
    bool pointerCaptured() const { return captured; }
    // Wheel notches; fractions (from touchpads) add up to whole notches.
    void scroll(double notches) { wheelNotches += notches; }
    void padPolled(const PadState& state);
    // A character typed (a Unicode code point); only printable ASCII is kept, up to
    // kTypedCapacity until read. BACKSPACE pressed goes in among them as kErase.
    void typed(unsigned int codePoint);

    // Whether the key is held, or was tapped since the last read; a read consumes the tap.
    bool readKey(int key);
    bool readButton(int button);
    // A pad button (pad::kA ... or kRightTriggerPull), read like a key.
    bool readPadButton(int button);
    // How many times the key, mouse button or pad button has gone down since the game began,
    // whether it was read or not: menus take each press, however quick the taps.
    unsigned int keyPresses(int key) const;
    unsigned int buttonPresses(int button) const;
    unsigned int padPresses(int button) const;
    // A stick's deflection (pad::kLeftX or pad::kRightX with the Y after it) outside the dead
    // zone; centred without a pad.
    glm::vec2 padStick(int xAxis) const;
    bool padConnected() const { return pad.connected; }
    // Window pixels, y downwards.
    glm::ivec2 cursor() const { return cursorPosition; }
    // The captured pointer's move since the last take, pixels right and down; a take clears it.
    glm::vec2 takePointerMotion();
    // Notches scrolled since the window opened, rounded to whole notches.
    int wheel() const;
    // The characters typed since the last read, in order, ended by '\0'; a read empties them.
    using Typed = std::array<char, 17>;
    Typed readTyped();
    static constexpr std::size_t kTypedCapacity = 16;
    static constexpr char kErase = '\b';

    static constexpr int kRightTriggerPull = pad::kButtonCount;
    static constexpr float kTriggerDown = 0.0f; // trigger axis: half pulled
    static constexpr float kTriggerUp = -0.5f;  // a quarter pulled

private:
    // A press not read yet is kept until one read has seen it; a press already read ends
    // with its release.
    enum class Level { Up, DownUnread, Down, TappedUp };
    static bool read(Level& level);
    static void event(Level& level, KeyAction action);
    template <typename Counts> static unsigned int count(const Counts& counts, int code);

    std::array<Level, keys::kLast + 1> keyLevels{};
    std::array<Level, buttons::kLast + 1> buttonLevels{};
    std::array<Level, kRightTriggerPull + 1> padLevels{};
    std::array<unsigned int, keys::kLast + 1> keyPressCounts{};
    std::array<unsigned int, buttons::kLast + 1> buttonPressCounts{};
    std::array<unsigned int, kRightTriggerPull + 1> padPressCounts{};
    PadState pad;
    bool triggerPulled = false;
    glm::ivec2 cursorPosition{0};
    bool captured = false;
    bool anchored = false; // a position has come since the pointer was captured
    glm::vec2 pointerMotion{0.0f};
    double wheelNotches = 0.0;
    Typed typedText{};
    std::size_t typedCount = 0;
};
