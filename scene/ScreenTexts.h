#pragma once

#include "client/GameClient.h"
#include "platform/WindowSize.h"

#include <glm/glm.hpp>

#include <array>
#include <cstddef>

// One line of on-screen text: its first character's bottom-left corner in window pixels
// (y upwards), its height in pixels and how opaque it is drawn.
struct TextLine {
    const char* text = "";
    int x = 0;
    int y = 0;
    int size = 0;
    float opacity = 1.0f;
};

// What a frame's texts show besides each screen's own lines.
struct TextOptions {
    bool frameRate = false; // the frame-rate line, with these figures
    double framesPerSecond = 0.0;
    double frameMilliseconds = 0.0;
    bool help = false;        // the list of controls over a running match
    bool padControls = false; // the pad's controls in the list too (a pad is connected)
    glm::ivec2 window{kWindowWidth, kWindowHeight}; // pixels
    bool radar = false;                             // the radar is shown
    // The frame's camera, for the names over a battle's tanks: none without it.
    bool camera = false;
    glm::mat4 viewProjection{1.0f};
    glm::vec3 eye{0.0f};
};

// The lines a frame shows: the frame-rate line when asked for, the message feed's rows, and the
// screen's own: the title, its prompt and the list of controls under it, or the options screen;
// the lives while playing a duel, or a battle's frags and time left with the names over the
// tanks in sight, the scoreboard while TAB is held, and the list of controls when asked for;
// the end screen's headline, result and prompts, centred, and a battle's ranking; or why a join
// failed; or the games found on the local network. Built every frame into storage of its own,
// without allocating.
//
// The lines are laid out for a window of the size the game opens at. In another window they
// scale with it, as far as it holds the whole layout (with its height, unless it is narrower
// than the layout): the frame-rate line and the feed keep to the top-left corner, the lives line
// to the bottom-left, everything else to the middle.
class ScreenTexts {
public:
    static constexpr std::size_t kMaxLines = 48;

    void build(const GameClient& client, const TextOptions& options);

    const TextLine* begin() const { return lines.data(); }
    const TextLine* end() const { return lines.data() + count; }

private:
    enum class Anchor { TopLeft, BottomLeft, Middle };
    // Adds a line laid out at (x, y) and size for the window the game opens at.
    void add(const char* text, int x, int y, int size, Anchor anchor = Anchor::Middle,
             float opacity = 1.0f);
    // Adds a line centred across the window.
    void addCentred(const char* text, int y, int size);
    // Adds a line placed in window pixels, not laid out.
    void addInWindow(const char* text, int x, int y, int size);
    // A battle under way: the player's frags, the teams' and the time left, the names over the
    // other tanks the player could see, and the scoreboard when asked for.
    // Over a match: that the link is being mended, or the tank a spectator watches.
    void addMatchSeatsLine(const GameClient& client);
    void addBattle(const GameClient& client, const TextOptions& options);
    void addNames(const GameClient& client, const TextOptions& options);
    // The seats ranked, the first line's cells topY pixels above the window's bottom.
    void addRanking(const GameClient& client, int topY, int size, bool header);
    // The list of controls for the aiming scheme, its first line's cells topY pixels above the
    // window's bottom; the title's names the options screen's key.
    void addControls(int topY, bool padControls, bool onTitle, AimScheme aim);
    // The options screen, in place of the title's lines.
    void addOptions(const OptionsMenu& menu, const Settings& settings);
    // The games found on the local network, in place of the title's lines.
    void addGames(const FindGamesScreen& screen);

    std::array<TextLine, kMaxLines> lines{};
    std::size_t count = 0;
    float scale = 1.0f;    // window pixels per layout pixel
    glm::vec2 spare{0.0f}; // pixels of this window beside and above the scaled layout
    char frameRateLine[64] = {};
    char livesLine[64] = {};
    char rankingLines[MatchSetup::kMaxSeats + 1][64] = {};
    char optionLines[OptionsMenu::kItemCount][64] = {};
    static constexpr int kVisibleGames = 8; // lines of the games' list shown at once
    char gameLines[kVisibleGames][80] = {};
};
