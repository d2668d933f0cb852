#include "platform/InputState.h"

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
    }
}

void InputState::buttonEvent(int button, KeyAction action) {
    if (known(buttonLevels, button)) {
        event(buttonLevels[static_cast<std::size_t>(button)], action);
    }
}

bool InputState::readKey(int key) {
    return known(keyLevels, key) && read(keyLevels[static_cast<std::size_t>(key)]);
}

bool InputState::readButton(int button) {
    return known(buttonLevels, button) && read(buttonLevels[static_cast<std::size_t>(button)]);
}

int InputState::wheel() const {
    return static_cast<int>(std::lround(wheelNotches));
}
