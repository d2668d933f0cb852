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
constexpr Place kReasonLine{0, 0, 30}; // the largest a failed join's reason is drawn
constexpr Place kQuitLine{0, 260, 50};
// Who plays which seat, in a networked game: above the title, between the end screen's lines.
constexpr Place kTitleSeats{0, 560, 30};
constexpr Place kEndSeats{0, 385, 30};

// The list of controls, in columns of monospace glyphs: a block centred across the window,
// under the title's prompt, or over a match under the message feed and clear of the radar. Its
// second and third lines are the aiming scheme's. The title's last line names the options
// screen's key; a match cannot open it.
constexpr int kControlsSize = 20; // px, glyph height
constexpr int kControlsStep = 24; // px between lines
constexpr int kTitleControlsTop = 360;
constexpr int kMatchControlsTop = 590;
constexpr std::size_t kAimRows = 2; // the lines after the first
constexpr const char* kKeyAimControls[kAimRows] = {
    "Q / E       aim (keys)   SPACE      jump",
    "left click  fire         right drag camera",
};
constexpr const char* kMouseAimControls[kAimRows] = {
    "mouse       aim (mouse)  SPACE      jump",
    "left click  fire         Q / E      turn view",
};
constexpr const char* kKeyControls[] = {
    "W / S       drive        A / D      turn",
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

// The message feed: rows at the top-left, under the frame-rate line, the newest lowest.
constexpr Place kFeedRow{10, 710, 20};
constexpr int kFeedStep = 24; // px between rows

// A join that failed: why, in the end screen's places, the reason as large as fits.
constexpr const char* kJoinFailedHeadline = "CANNOT JOIN";
constexpr int kWidestReason = 1000; // px
constexpr const char* kWidestOption = "> Rules         Duel (reload, grace) <";
constexpr const char* kOptionsHelpLine = "arrows, wheel: choose   ENTER, click: change   ESC: back";
} // namespace

void ScreenTexts::add(const char* text, int x, int y, int size, Anchor anchor, float opacity) {
    if (count < lines.size()) {
        glm::vec2 shift(0.0f);
        if (anchor == Anchor::Middle) {
            shift = spare / 2.0f;
        } else if (anchor == Anchor::TopLeft) {
            shift.y = spare.y;
        }
        lines[count++] = {text, static_cast<int>(std::lround(shift.x + scale * x)),
                          static_cast<int>(std::lround(shift.y + scale * y)),
                          static_cast<int>(std::lround(scale * size)), opacity};
    }
}

void ScreenTexts::addCentred(const char* text, int y, int size) {
    add(text, (kWindowWidth - textWidth(text, size)) / 2, y, size);
}

void ScreenTexts::addControls(int topY, bool padControls, bool onTitle, AimScheme aim) {
    const int x = (kWindowWidth - textWidth(kPadControls[1], kControlsSize)) / 2; // the longest
    int y = topY - kControlsSize;
    const auto row = [&](const char* line) {
        add(line, x, y, kControlsSize);
        y -= kControlsStep;
    };
    row(kKeyControls[0]);
    for (const char* line : aim == AimScheme::Mouse ? kMouseAimControls : kKeyAimControls) {
        row(line);
    }
    for (std::size_t i = 1; i < std::size(kKeyControls); ++i) {
        row(kKeyControls[i]);
    }
    row(onTitle ? kTitleLastControls : kMatchLastControls);
    if (padControls) {
        y -= kControlsStep / 2;
        for (const char* line : kPadControls) {
            row(line);
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
    for (std::size_t row = 0; row < client.feed.size(); ++row) {
        add(client.feed.text(row), kFeedRow.x, kFeedRow.y - static_cast<int>(row) * kFeedStep,
            kFeedRow.size, Anchor::TopLeft, client.feed.opacity(row));
    }
    if (client.menu.open) {
        addOptions(client.menu, client.settings);
    } else if (client.joinFailed()) {
        addCentred(kJoinFailedHeadline, kEndHeadline.y, kEndHeadline.size);
        const int reasonWidth = std::max(textWidth(client.joinFailure, 1), 1);
        addCentred(client.joinFailure, kResultLine.y,
                   std::min(kReasonLine.size, kWidestReason / reasonWidth));
        addCentred("Press ESC to quit!", kRetryLine.y, kRetryLine.size);
        addCentred("Press ENTER to play the computer", kQuitLine.y, kReasonLine.size);
    } else if (client.showingTitle()) {
        if (*client.seatsLine() != '\0') {
            addCentred(client.seatsLine(), kTitleSeats.y, kTitleSeats.size);
        }
        add("BRAKKEL", kTitle.x, kTitle.y, kTitle.size);
        add("Press ENTER to start!", kPressEnterToStart.x, kPressEnterToStart.y,
            kPressEnterToStart.size);
        addControls(kTitleControlsTop, options.padControls, true, client.settings.aim);
    } else if (!client.matchRunning()) {
        addCentred(client.headline(), kEndHeadline.y, kEndHeadline.size);
        addCentred(client.resultLine(), kResultLine.y, kResultLine.size);
        if (*client.seatsLine() != '\0') {
            addCentred(client.seatsLine(), kEndSeats.y, kEndSeats.size);
        }
        addCentred("Press ENTER to retry!", kRetryLine.y, kRetryLine.size);
        addCentred("Press ESC to quit!", kQuitLine.y, kQuitLine.size);
    } else {
        const Match& match = client.shownMatch();
        std::snprintf(livesLine, sizeof livesLine, "Lives:  Player:%d Enemy:%d",
                      match.tank(client.localSeat()).lives,
                      match.tank(1 - client.localSeat()).lives);
        add(livesLine, kLivesLine.x, kLivesLine.y, kLivesLine.size, Anchor::BottomLeft);
        if (options.help) {
            addControls(kMatchControlsTop, options.padControls, false, client.settings.aim);
        }
    }
}
