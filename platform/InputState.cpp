#include "platform/InputState.h"

#include <algorithm>
#include <cmath>

namespace {
template <typename Levels> bool known(const Levels& levels, int code) {
    return code >= 0 && static_cast<std::size_t>(code) < levels.size();
}
} // namespace

void InputState::event(Level& level, KeyAction action) {
    if (action == KeyAction::Press) {
        if (level != Level::Down) {
            level = Level::DownUnread;
        }
    } else if (level == Level::DownUnread) {
        // Released before anyone read the press: it still counts once.
        level = Level::TappedUp;
    } else if (level == Level::Down) {
        level = Level::Up;
    }
}

bool InputState::read(Level& level) {
    switch (level) {
    case Level::Up:
        return false;
    case Level::TappedUp:
        level = Level::Up;
        return true;
    case Level::DownUnread:
        level = Level::Down;
        return true;
    case Level::Down:
        return true;
    }
    return false;
}

void InputState::keyEvent(int key, KeyAction action) {
    if (known(keyLevels, key)) {
        event(keyLevels[static_cast<std::size_t>(key)], action);
        keyPressCounts[static_cast<std::size_t>(key)] += action == KeyAction::Press;
    }
    if (key == keys::kBackspace && action == KeyAction::Press) {
        typed(static_cast<unsigned int>(kErase));
    }
}

void InputState::buttonEvent(int button, KeyAction action) {
    if (known(buttonLevels, button)) {
        event(buttonLevels[static_cast<std::size_t>(button)], action);
        buttonPressCounts[static_cast<std::size_t>(button)] += action == KeyAction::Press;
    }
}

template <typename Counts> unsigned int InputState::count(const Counts& counts, int code) {
    return known(counts, code) ? counts[static_cast<std::size_t>(code)] : 0u;
}

unsigned int InputState::keyPresses(int key) const {
    return count(keyPressCounts, key);
}

unsigned int InputState::buttonPresses(int button) const {
    return count(buttonPressCounts, button);
}

unsigned int InputState::padPresses(int button) const {
    return count(padPressCounts, button);
}

bool InputState::readKey(int key) {
    return known(keyLevels, key) && read(keyLevels[static_cast<std::size_t>(key)]);
}

bool InputState::readButton(int button) {
    return known(buttonLevels, button) && read(buttonLevels[static_cast<std::size_t>(button)]);
}

void InputState::padPolled(const PadState& state) {
    const PadState polled = state.connected ? state : PadState();
    for (int button = 0; button < pad::kButtonCount; ++button) {
        const auto index = static_cast<std::size_t>(button);
        if (polled.buttons[index] != pad.buttons[index]) {
            event(padLevels[index], polled.buttons[index] ? KeyAction::Press : KeyAction::Release);
            padPressCounts[index] += polled.buttons[index];
        }
    }
    const float trigger = polled.axes[pad::kRightTrigger];
    const bool pulled =
        polled.connected && (triggerPulled ? !(trigger < kTriggerUp) : trigger > kTriggerDown);
    if (pulled != triggerPulled) {
        event(padLevels[kRightTriggerPull], pulled ? KeyAction::Press : KeyAction::Release);
        padPressCounts[kRightTriggerPull] += pulled;
        triggerPulled = pulled;
    }
    pad = polled;
}

bool InputState::readPadButton(int button) {
    return known(padLevels, button) && read(padLevels[static_cast<std::size_t>(button)]);
}

glm::vec2 InputState::padStick(int xAxis) const {
    if (xAxis < 0 || xAxis + 1 >= pad::kAxisCount) {
        return glm::vec2(0.0f);
    }
    const auto x = static_cast<std::size_t>(xAxis);
    return outsideDeadZone(glm::vec2(pad.axes[x], pad.axes[x + 1]));
}

void InputState::moveCursor(glm::ivec2 position) {
    if (captured && anchored) {
        pointerMotion += glm::vec2(position - cursorPosition);
    }
    anchored = captured;
    cursorPosition = position;
}

void InputState::capturePointer(bool capture) {
    captured = capture;
    anchored = false;
    pointerMotion = glm::vec2(0.0f);
}

glm::vec2 InputState::takePointerMotion() {
    const glm::vec2 motion = pointerMotion;
    pointerMotion = glm::vec2(0.0f);
    return motion;
}

int InputState::wheel() const {
    return static_cast<int>(std::lround(wheelNotches));
}

void InputState::typed(unsigned int codePoint) {
    constexpr unsigned int kFirstPrintable = 0x20;
    constexpr unsigned int kLastPrintable = 0x7E;
    const bool kept = (codePoint >= kFirstPrintable && codePoint <= kLastPrintable) ||
                      codePoint == static_cast<unsigned int>(kErase);
    if (kept && typedCount < kTypedCapacity) {
        typedText[typedCount++] = static_cast<char>(codePoint);
    }
}

InputState::Typed InputState::readTyped() {
    Typed read{};
    std::copy_n(typedText.begin(), typedCount, read.begin());
    typedCount = 0;
    return read;
}
