#include "scene/ScreenTexts.h"

#include "platform/WindowSize.h"
#include "render/TextRenderer.h"

#include <algorithm>
#include <cmath>
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
// Who plays which seat, in a networked game: above the title, between the end screen's lines.
constexpr Place kTitleSeats{0, 560, 30};
constexpr Place kEndSeats{0, 385, 30};

// The list of controls, in columns of monospace glyphs: a block centred across the window,
// under the title's prompt, or over a match below the radar's corner. The title's last line
// names the options screen's key; a match cannot open it.
constexpr int kControlsSize = 20; // px, glyph height
constexpr int kControlsStep = 24; // px between lines
constexpr int kTitleControlsTop = 360;
constexpr int kMatchControlsTop = 530;
constexpr const char* kKeyControls[] = {
    "W / S       drive        A / D      turn",
    "Q / E       turret       SPACE      jump",
    "left click  fire         right drag camera",
    "wheel       zoom         L          end match",
    "M           sound        F1         help",
    "F2          frame rate   F3         wireframe",
    "F4          filtering    F5         mip-maps",
    "F6          radar        F11        fullscreen",
};
constexpr const char* kTitleLastControls = "O           options      ESC        quit";
constexpr const char* kMatchLastControls = "ESC         quit";
constexpr const char* kPadControls[] = {
    "GAMEPAD",
    "left stick  drive        right stick turret/camera",
    "RT          fire         A          jump",
    "LB / RB     zoom         START      start",
    "Y           options      BACK held  quit",
};

// The options screen: its heading, the settings in a list with the selected one marked, and
// how to work it.
constexpr Place kOptionsHeading{0, 620, 60};
constexpr int kOptionsTop = 560; // px, the first line's cells' top
constexpr int kOptionsSize = 30; // px
constexpr int kOptionsStep = 40; // px
constexpr Place kOptionsHelp{0, 90, 20};
constexpr const char* kWidestOption = "> Rules         Duel (reload, grace) <";
constexpr const char* kOptionsHelpLine = "arrows, wheel: choose   ENTER, click: change   ESC: back";
} // namespace

void ScreenTexts::add(const char* text, int x, int y, int size, Anchor anchor) {
    if (count < lines.size()) {
        glm::vec2 shift(0.0f);
        if (anchor == Anchor::Middle) {
            shift = spare / 2.0f;
        } else if (anchor == Anchor::TopLeft) {
            shift.y = spare.y;
        }
        lines[count++] = {text, static_cast<int>(std::lround(shift.x + scale * x)),
                          static_cast<int>(std::lround(shift.y + scale * y)),
                          static_cast<int>(std::lround(scale * size))};
    }
}

void ScreenTexts::addCentred(const char* text, int y, int size) {
    add(text, (kWindowWidth - textWidth(text, size)) / 2, y, size);
}

void ScreenTexts::addControls(int topY, bool padControls, bool onTitle) {
    const int x = (kWindowWidth - textWidth(kPadControls[1], kControlsSize)) / 2; // the longest
    int y = topY - kControlsSize;
    for (const char* line : kKeyControls) {
        add(line, x, y, kControlsSize);
        y -= kControlsStep;
    }
    add(onTitle ? kTitleLastControls : kMatchLastControls, x, y, kControlsSize);
    y -= kControlsStep;
    if (padControls) {
        y -= kControlsStep / 2;
        for (const char* line : kPadControls) {
            add(line, x, y, kControlsSize);
            y -= kControlsStep;
        }
    }
}

void ScreenTexts::addOptions(const OptionsMenu& menu, const Settings& settings) {
    addCentred("OPTIONS", kOptionsHeading.y, kOptionsHeading.size);
    // A column of names and one of values, the selected line marked; centred as a block as
    // wide as the longest line.
    const int x = (kWindowWidth - textWidth(kWidestOption, kOptionsSize)) / 2;
    int y = kOptionsTop - kOptionsSize;
    for (int item = 0; item < OptionsMenu::kItemCount; ++item) {
        char value[24];
        OptionsMenu::describe(item, settings, value, sizeof value);
        const bool selected = item == menu.selected;
        std::snprintf(optionLines[item], sizeof optionLines[item], "%s %-13s %s%s",
                      selected ? ">" : " ", OptionsMenu::label(item), value, selected ? " <" : "");
        add(optionLines[item], x, y, kOptionsSize);
        y -= kOptionsStep;
    }
    addCentred(kOptionsHelpLine, kOptionsHelp.y, kOptionsHelp.size);
}

void ScreenTexts::build(const GameClient& client, const TextOptions& options) {
    count = 0;
    const glm::vec2 window(options.window);
    scale = std::min(window.x / kWindowWidth, window.y / kWindowHeight);
    spare = window - scale * glm::vec2(kWindowWidth, kWindowHeight);
    if (options.frameRate) {
        const int written =
            std::snprintf(frameRateLine, sizeof frameRateLine, "FPS: %.0f (%.1f ms)",
                          options.framesPerSecond, options.frameMilliseconds);
        const int roundTrip = client.roundTripMs();
        if (roundTrip >= 0 && written >= 0 && written < static_cast<int>(sizeof frameRateLine)) {
            std::snprintf(frameRateLine + written, sizeof frameRateLine - written, " RTT %d ms",
                          roundTrip);
        }
        add(frameRateLine, kFrameRateLine.x, kFrameRateLine.y, kFrameRateLine.size,
            Anchor::TopLeft);
    }
    if (client.menu.open) {
        addOptions(client.menu, client.settings);
    } else if (client.showingTitle()) {
        if (*client.seatsLine() != '\0') {
            addCentred(client.seatsLine(), kTitleSeats.y, kTitleSeats.size);
        }
        add("BRAKKEL", kTitle.x, kTitle.y, kTitle.size);
        add("Press ENTER to start!", kPressEnterToStart.x, kPressEnterToStart.y,
            kPressEnterToStart.size);
        addControls(kTitleControlsTop, options.padControls, true);
    } else if (!client.matchRunning()) {
        addCentred(client.headline(), kEndHeadline.y, kEndHeadline.size);
        addCentred(client.resultLine(), kResultLine.y, kResultLine.size);
        if (*client.seatsLine() != '\0') {
            addCentred(client.seatsLine(), kEndSeats.y, kEndSeats.size);
        }
        addCentred("Press ENTER to retry!", kRetryLine.y, kRetryLine.size);
        addCentred("Press ESC to quit!", kQuitLine.y, kQuitLine.size);
    } else {
        if (*client.seatsLine() != '\0') {
            addCentred(client.seatsLine(), kTitleSeats.y, kTitleSeats.size);
        }
        const Match& match = client.shownMatch();
        std::snprintf(livesLine, sizeof livesLine, "Lives:  Player:%d Enemy:%d",
                      match.tank(client.localSeat()).lives,
                      match.tank(1 - client.localSeat()).lives);
        add(livesLine, kLivesLine.x, kLivesLine.y, kLivesLine.size, Anchor::BottomLeft);
        if (options.help) {
            addControls(kMatchControlsTop, options.padControls, false);
        }
    }
}
