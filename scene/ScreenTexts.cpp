#include "scene/ScreenTexts.h"

#include "platform/WindowSize.h"
#include "render/RadarPass.h"
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
// A spectator's line over a match: the tank watched and the keys, small.
constexpr Place kWatchedLine{0, 560, 18};

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
// The title has no match to end: its second line of keys names the games screen's instead.
constexpr const char* kTitleZoomControls = "wheel       zoom         G          find games";
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
constexpr int kVisibleOptions = 10; // lines of the list shown at once
constexpr const char* kMoreOptions = "...";

// The games screen: its heading, a header over the columns, a line for each game found with
// the selected one marked, or a line saying the search goes on, and how to work it.
constexpr Place kGamesHeading{0, 620, 60};
constexpr int kGamesTop = 560; // px, the header's cells' top
constexpr int kGamesSize = 18; // px
constexpr int kGamesStep = 28; // px
constexpr Place kGamesSearching{0, 420, 24};
constexpr const char* kGamesHeader =
    "  NAME              ARENA           MODE           SEATS  RTT";
constexpr const char* kGamesSearchingLine = "Looking for games on the local network...";
constexpr const char* kGamesHelpLine = "arrows: choose   ENTER: join   ESC, G: back";
constexpr int kGamesArenaShown = 14; // characters of an arena's name in its column

// The message feed: rows at the top-left, under the frame-rate line, the newest lowest.
constexpr Place kFeedRow{10, 710, 20};
constexpr int kFeedStep = 24; // px between rows

// A join that failed: why, in the end screen's places, the reason as large as fits.
constexpr const char* kJoinFailedHeadline = "CANNOT JOIN";
constexpr int kWidestReason = 1000; // px
constexpr const char* kWidestOption = "> Rules         Duel (reload, grace) <";
constexpr const char* kOptionsHelpLine = "arrows, wheel: choose   ENTER, click: change   ESC: back";

// A battle: its line where a duel's lives are, smaller; the names over the tanks, within range
// and in sight; the scoreboard over the match, and the ranking under the end screen's prompts.
constexpr Place kBattleLine{10, 10, 30};
constexpr int kNameSize = 18;       // px
constexpr float kNameRange = 40.0f; // units from the eye
constexpr float kNameHeight = 1.2f; // units above the tank's base
constexpr int kScoreboardTop = 600; // px, the first line's cells' top
constexpr int kScoreboardSize = 24; // px
constexpr int kEndRankingTop = 225; // px
constexpr int kEndRankingSize = 20; // px
constexpr const char* kScoreboardHeader = "  NAME              TEAM    FRAGS DEATHS   RTT";
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

void ScreenTexts::addInWindow(const char* text, int x, int y, int size) {
    if (count < lines.size()) {
        lines[count++] = {text, x, y, size};
    }
}

void ScreenTexts::addRanking(const GameClient& client, int topY, int size, bool header) {
    const int step = size + size / 5;
    const int x = (kWindowWidth - textWidth(kScoreboardHeader, size)) / 2;
    int y = topY - size;
    if (header) {
        add(kScoreboardHeader, x, y, size);
        y -= step;
    }
    const bool teams = client.shownMatch().state.teams;
    std::size_t row = 0;
    for (const ScoreLine& line : client.scores()) {
        char roundTrip[8] = "-";
        if (line.roundTripMs >= 0) {
            std::snprintf(roundTrip, sizeof roundTrip, "%d", std::min(line.roundTripMs, 9999));
        }
        std::snprintf(rankingLines[row], sizeof rankingLines[row], "%s %-17s %-6s %6d %6d %5s",
                      line.own ? ">" : " ", line.name, teams ? MatchFlow::teamName(line.team) : "-",
                      line.frags, line.deaths, roundTrip);
        add(rankingLines[row], x, y, size);
        y -= step;
        ++row;
    }
}

void ScreenTexts::addNames(const GameClient& client, const TextOptions& options) {
    const Match& match = client.shownMatch();
    const float size = scale * static_cast<float>(kNameSize);
    for (int seat = 0; seat < match.seatCount(); ++seat) {
        const Tank& tank = match.tank(seat);
        const glm::vec3 head = tank.position + glm::vec3(0.0f, kNameHeight, 0.0f);
        // Only what the player could see: near enough, and no piece in the way.
        if (seat == client.localSeat() || !tank.inPlay() ||
            glm::length(head - options.eye) > kNameRange ||
            match.arena.firstObstacle(options.eye, head) < 1.0f) {
            continue;
        }
        const glm::vec4 clip = options.viewProjection * glm::vec4(head, 1.0f);
        if (clip.w <= 0.0f || std::abs(clip.x) > clip.w || std::abs(clip.y) > clip.w) {
            continue;
        }
        const glm::vec2 at = (glm::vec2(clip) / clip.w * 0.5f + 0.5f) * glm::vec2(options.window);
        if (options.radar && RadarPass::covers(options.window, at)) {
            continue; // the radar is drawn under the texts: no name shows through it
        }
        const char* name = client.seatName(seat);
        const int height = static_cast<int>(std::lround(size));
        addInWindow(name, static_cast<int>(std::lround(at.x)) - textWidth(name, height) / 2,
                    static_cast<int>(std::lround(at.y)), height);
    }
}

void ScreenTexts::addMatchSeatsLine(const GameClient& client) {
    if (*client.seatsLine() != '\0') {
        const Place& place = client.watching() ? kWatchedLine : kTitleSeats;
        addCentred(client.seatsLine(), place.y, place.size);
    }
}

void ScreenTexts::addBattle(const GameClient& client, const TextOptions& options) {
    const Match& match = client.shownMatch();
    const MatchState& state = match.state;
    const int own = client.localSeat();
    const int ticksLeft = std::max(0, static_cast<int>(state.endTick - state.tick));
    const int secondsLeft = (ticksLeft + static_cast<int>(Match::kTicksPerSecond) - 1) /
                            static_cast<int>(Match::kTicksPerSecond);
    const Seat* seat = own >= 0 && own < match.seatCount() ? &match.seat(own) : nullptr;
    char score[32] = "";
    if (state.teams) {
        std::snprintf(score, sizeof score, "%s %d : %d %s   ", MatchFlow::teamName(0),
                      match.teamFrags(0), match.teamFrags(1), MatchFlow::teamName(1));
    }
    std::snprintf(livesLine, sizeof livesLine, "%sFrags %d  Deaths %d   %d:%02d", score,
                  seat != nullptr ? seat->frags : 0, seat != nullptr ? seat->deaths : 0,
                  secondsLeft / 60, secondsLeft % 60);
    add(livesLine, kBattleLine.x, kBattleLine.y, kBattleLine.size, Anchor::BottomLeft);
    if (options.camera) {
        addNames(client, options);
    }
    if (client.scoreboardShown()) {
        addRanking(client, kScoreboardTop, kScoreboardSize, true);
    }
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
    row(onTitle ? kTitleZoomControls : kKeyControls[1]);
    for (std::size_t i = 2; i < std::size(kKeyControls); ++i) {
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
    // A window of the list around the selected line.
    const int first = std::clamp(menu.selected - kVisibleOptions / 2, 0,
                                 OptionsMenu::kItemCount - kVisibleOptions);
    const int last = std::min(first + kVisibleOptions, static_cast<int>(OptionsMenu::kItemCount));
    if (first > 0) {
        add(kMoreOptions, x, kOptionsTop + kOptionsHelp.size / 2, kOptionsHelp.size);
    }
    if (last < OptionsMenu::kItemCount) {
        add(kMoreOptions, x, kOptionsTop - kOptionsStep * kVisibleOptions - kOptionsHelp.size,
            kOptionsHelp.size);
    }
    for (int item = first; item < last; ++item) {
        char value[24];
        menu.describeShown(item, settings, value, sizeof value);
        const bool selected = item == menu.selected;
        std::snprintf(optionLines[item], sizeof optionLines[item], "%s %-13s %s%s",
                      selected ? ">" : " ", OptionsMenu::label(item), value, selected ? " <" : "");
        add(optionLines[item], x, y, kOptionsSize);
        y -= kOptionsStep;
    }
    addCentred(kOptionsHelpLine, kOptionsHelp.y, kOptionsHelp.size);
}

void ScreenTexts::addGames(const FindGamesScreen& screen) {
    addCentred("FIND GAMES", kGamesHeading.y, kGamesHeading.size);
    const LanFinder& games = screen.games();
    const int x = (kWindowWidth - textWidth(kGamesHeader, kGamesSize)) / 2;
    int y = kGamesTop - kGamesSize;
    add(kGamesHeader, x, y, kGamesSize);
    y -= kGamesStep;
    if (games.size() == 0) {
        addCentred(kGamesSearchingLine, kGamesSearching.y, kGamesSearching.size);
    }
    const int found = static_cast<int>(games.size());
    const int first =
        std::clamp(screen.selected() - kVisibleGames / 2, 0, std::max(found - kVisibleGames, 0));
    const int last = std::min(first + kVisibleGames, found);
    for (int index = first; index < last; ++index) {
        const LanFinder::Found& game = games[static_cast<std::size_t>(index)];
        char seats[8];
        std::snprintf(seats, sizeof seats, "%d/%d", game.about.persons, game.about.seats);
        char* line = gameLines[index - first];
        std::snprintf(line, sizeof gameLines[0],
                      game.roundTripMs < 10.0 ? "%s %-16s  %-14.*s  %-13s  %-5s  %.1f ms"
                                              : "%s %-16s  %-14.*s  %-13s  %-5s  %.0f ms",
                      index == screen.selected() ? ">" : " ", game.about.name.data(),
                      kGamesArenaShown, game.about.arena.data(), game.modeName(), seats,
                      game.roundTripMs);
        add(line, x, y, kGamesSize);
        y -= kGamesStep;
    }
    addCentred(kGamesHelpLine, kOptionsHelp.y, kOptionsHelp.size);
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
    } else if (client.games.shown()) {
        addGames(client.games);
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
        if (client.shownMatch().state.mode == Mode::Battle) {
            addRanking(client, kEndRankingTop, kEndRankingSize, false);
        }
    } else if (client.shownMatch().state.mode == Mode::Battle) {
        addMatchSeatsLine(client);
        addBattle(client, options);
        if (options.help) {
            addControls(kMatchControlsTop, options.padControls, false, client.settings.aim);
        }
    } else {
        addMatchSeatsLine(client);
        const Match& match = client.shownMatch();
        // A duel's two tanks are always in play: the enemy is the other one.
        const int own = client.localSeat();
        std::snprintf(livesLine, sizeof livesLine, "Lives:  Player:%d Enemy:%d",
                      match.tank(own).lives, match.tank(match.nearestEnemy(own)).lives);
        add(livesLine, kLivesLine.x, kLivesLine.y, kLivesLine.size, Anchor::BottomLeft);
        if (options.help) {
            addControls(kMatchControlsTop, options.padControls, false, client.settings.aim);
        }
    }
}
