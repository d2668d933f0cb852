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
} // namespace

void ScreenTexts::add(const char* text, int x, int y, int size) {
    if (count < lines.size()) {
        lines[count++] = {text, x, y, size};
    }
}

void ScreenTexts::addCentred(const char* text, int y, int size) {
    add(text, (kWindowWidth - textWidth(text, size)) / 2, y, size);
}

void ScreenTexts::build(const GameFlow& flow, bool showFrameRate, double frameRate,
                        double frameMs) {
    count = 0;
    if (showFrameRate) {
        std::snprintf(frameRateLine, sizeof frameRateLine, "FPS: %.0f (%.1f ms)", frameRate,
                      frameMs);
        add(frameRateLine, kFrameRateLine.x, kFrameRateLine.y, kFrameRateLine.size);
    }
    if (!flow.started) {
        add("BRAKKEL", kTitle.x, kTitle.y, kTitle.size);
        add("Press ENTER to start!", kPressEnterToStart.x, kPressEnterToStart.y,
            kPressEnterToStart.size);
    } else if (flow.gameOver) {
        addCentred(flow.playerWon() ? "YOU WON!" : "GAME OVER", kEndHeadline.y, kEndHeadline.size);
        addCentred(flow.resultMessage, kResultLine.y, kResultLine.size);
        addCentred("Press ENTER to retry!", kRetryLine.y, kRetryLine.size);
        addCentred("Press ESC to quit!", kQuitLine.y, kQuitLine.size);
    } else {
        std::snprintf(livesLine, sizeof livesLine, "Lives:  Player:%d Enemy:%d",
                      flow.match.playerTank.lives, flow.match.aiTank.lives);
        add(livesLine, kLivesLine.x, kLivesLine.y, kLivesLine.size);
    }
}
