#include "scene/ScreenTexts.h"

#include "platform/WindowSize.h"
#include "render/TextRenderer.h"

#include <cstdio>

namespace {
struct Place {
    int x;
    int y;
    int size;
};
constexpr Place kFrameRateLine{0, 736, 30}; // its cells end 2 px inside the window's top
constexpr Place kTitle{200, 450, 75};
constexpr Place kPressEnterToStart{130, 380, 50};
constexpr Place kLivesLine{10, 10, 50};
// End screen, each line centred at its height.
constexpr Place kEndHeadline{0, 490, 75};
constexpr Place kResultLine{0, 440, 50};
constexpr Place kRetryLine{0, 320, 50};
constexpr Place kQuitLine{0, 260, 50};

// The list of controls, in columns of monospace glyphs: a block centred across the window,
// under the title's prompt, or over a match below the radar's corner.
constexpr int kControlsSize = 22; // px, glyph height
constexpr int kControlsStep = 28; // px between lines
constexpr int kTitleControlsTop = 340;
constexpr int kMatchControlsTop = 530;
constexpr const char* kKeyControls[] = {
    "W / S       drive        A / D      turn",   "Q / E       turret       SPACE      jump",
    "left click  fire         right drag camera", "wheel       zoom         L          end match",
    "M           sound        F1         help",   "F2 - F6     display      ESC        quit",
};
constexpr const char* kPadControls[] = {
    "GAMEPAD",
    "left stick  drive        right stick turret/camera",
    "RT          fire         A          jump",
    "LB / RB     zoom         START      start",
    "BACK held   quit",
};
} // namespace

void ScreenTexts::add(const char* text, int x, int y, int size) {
    if (count < lines.size()) {
        lines[count++] = {text, x, y, size};
    }
}

void ScreenTexts::addCentred(const char* text, int y, int size) {
    add(text, (kWindowWidth - textWidth(text, size)) / 2, y, size);
}

void ScreenTexts::addControls(int topY, bool padControls) {
    const int x = (kWindowWidth - textWidth(kPadControls[1], kControlsSize)) / 2; // the longest
    int y = topY - kControlsSize;
    for (const char* line : kKeyControls) {
        add(line, x, y, kControlsSize);
        y -= kControlsStep;
    }
    if (padControls) {
        y -= kControlsStep / 2;
        for (const char* line : kPadControls) {
            add(line, x, y, kControlsSize);
            y -= kControlsStep;
        }
    }
}

void ScreenTexts::build(const GameFlow& flow, const TextOptions& options) {
    count = 0;
    if (options.frameRate) {
        std::snprintf(frameRateLine, sizeof frameRateLine, "FPS: %.0f (%.1f ms)",
                      options.framesPerSecond, options.frameMilliseconds);
        add(frameRateLine, kFrameRateLine.x, kFrameRateLine.y, kFrameRateLine.size);
    }
    if (!flow.started) {
        add("BRAKKEL", kTitle.x, kTitle.y, kTitle.size);
        add("Press ENTER to start!", kPressEnterToStart.x, kPressEnterToStart.y,
            kPressEnterToStart.size);
        addControls(kTitleControlsTop, options.padControls);
    } else if (flow.gameOver) {
        addCentred(flow.playerWon() ? "YOU WON!" : "GAME OVER", kEndHeadline.y, kEndHeadline.size);
        addCentred(flow.resultMessage, kResultLine.y, kResultLine.size);
        addCentred("Press ENTER to retry!", kRetryLine.y, kRetryLine.size);
        addCentred("Press ESC to quit!", kQuitLine.y, kQuitLine.size);
    } else {
        std::snprintf(livesLine, sizeof livesLine, "Lives:  Player:%d Enemy:%d",
                      flow.match.tank(GameFlow::kPlayerSeat).lives,
                      flow.match.tank(GameFlow::kComputerSeat).lives);
        add(livesLine, kLivesLine.x, kLivesLine.y, kLivesLine.size);
        if (options.help) {
            addControls(kMatchControlsTop, options.padControls);
        }
    }
}
