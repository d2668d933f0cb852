// The options screen worked with the keys, the pad and the mouse, and the settings file: kept
// whole, read back, and whatever it holds never more than the defaults and one line a fault.
#include "client/GameClient.h"
#include "client/SettingsFile.h"
#include "game/PlayerName.h"
#include "platform/Keys.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace {

void tap(InputState& input, int key) {
    input.keyEvent(key, KeyAction::Press);
    input.keyEvent(key, KeyAction::Release);
}

class OptionsTest : public ::testing::Test {
protected:
    void tick() { client.tick(input); }
    // The pad as polled with one button down, then up, a tick each.
    void padTap(int button) {
        PadState pad;
        pad.connected = true;
        pad.axes[pad::kLeftTrigger] = pad.axes[pad::kRightTrigger] = -1.0f;
        pad.buttons[static_cast<std::size_t>(button)] = true;
        input.padPolled(pad);
        tick();
        pad.buttons[static_cast<std::size_t>(button)] = false;
        input.padPolled(pad);
        tick();
    }

    GameClient client{5u, nullptr, nullptr};
    InputState input;
};

TEST_F(OptionsTest, TheKeysThePadAndTheMouseWorkEveryOption) {
    tap(input, keys::kO);
    tick();
    ASSERT_TRUE(client.menu.open);
    EXPECT_FALSE(client.takeSettingsChange());

    // Keys: down to the render scale, two notches less; ENTER on the rules.
    tap(input, keys::kDown);
    tick();
    tap(input, keys::kDown);
    tick();
    tap(input, keys::kLeft);
    tick();
    tap(input, keys::kLeft);
    tick();
    EXPECT_EQ(client.settings.renderScale, 90);
    EXPECT_TRUE(client.takeSettingsChange());
    for (int i = 0; i < 3; ++i) {
        tap(input, keys::kDown);
        tick();
    }
    // The aiming scheme: the mouse, and the camera turns by itself from then on.
    EXPECT_EQ(client.menu.selected, OptionsMenu::kAim);
    EXPECT_FALSE(client.camera.freeLook);
    tap(input, keys::kRight);
    tick();
    EXPECT_EQ(client.settings.aim, AimScheme::Mouse);
    EXPECT_TRUE(client.camera.freeLook);
    EXPECT_TRUE(client.takeSettingsChange());
    for (int i = 0; i < 4; ++i) {
        tap(input, keys::kDown);
        tick();
    }
    EXPECT_EQ(client.menu.selected, OptionsMenu::kRules);
    tap(input, keys::kEnter);
    tick();
    EXPECT_EQ(client.settings.rules, Rules::Duel);
    EXPECT_EQ(client.flow->match.state.rules, Rules::Duel) << "the coming match's rules";
    EXPECT_FALSE((client.flow->phase() != Phase::Title))
        << "ENTER on the options screen starts no match";

    // The opponent, the next line: Classic, then each skill in turn, the coming match's too.
    tap(input, keys::kDown);
    tick();
    EXPECT_EQ(client.menu.selected, OptionsMenu::kOpponent);
    EXPECT_EQ(client.flow->match.seat(1).skill, Skill::Classic);
    for (const Skill skill : {Skill::Rookie, Skill::Veteran, Skill::Ace}) {
        tap(input, keys::kRight);
        tick();
        EXPECT_EQ(client.settings.skill, skill);
        EXPECT_EQ(client.flow->match.seat(1).skill, skill) << "the coming match's computer";
    }
    EXPECT_EQ(client.flow->match.state.rules, Rules::Duel) << "the rules kept";

    // The pad: up to the quality preset, which brings its own scale; B leaves.
    for (int i = 0; i < 9; ++i) {
        padTap(pad::kDpadUp);
    }
    EXPECT_EQ(client.menu.selected, OptionsMenu::kQuality);
    padTap(pad::kA);
    EXPECT_EQ(client.settings.quality, QualityPreset::Balanced);
    EXPECT_EQ(client.settings.renderScale, 75);
    padTap(pad::kDpadLeft);
    padTap(pad::kDpadLeft);
    EXPECT_EQ(client.settings.quality, QualityPreset::Fast);
    padTap(pad::kB);
    EXPECT_FALSE(client.menu.open);
    padTap(pad::kY);
    EXPECT_TRUE(client.menu.open) << "Y opens it again";

    // The mouse: the wheel moves down to the mouse's sensitivity, a click raises it, a right
    // click lowers it twice; the range holds at its ends.
    input.scroll(-5.0);
    tick();
    EXPECT_EQ(client.menu.selected, OptionsMenu::kMouseSensitivity);
    input.buttonEvent(buttons::kLeft, KeyAction::Press);
    tick();
    tick(); // held: one change
    input.buttonEvent(buttons::kLeft, KeyAction::Release);
    tick();
    EXPECT_EQ(client.settings.mouseSensitivity, 125);
    EXPECT_FLOAT_EQ(client.camera.sensitivity, 1.25f);
    for (int i = 0; i < 10; ++i) {
        input.buttonEvent(buttons::kRight, KeyAction::Press);
        tick();
        input.buttonEvent(buttons::kRight, KeyAction::Release);
        tick();
    }
    EXPECT_EQ(client.settings.mouseSensitivity, Settings::kMinSensitivity);

    // ESC leaves the screen, and only then the game.
    tap(input, keys::kEscape);
    tick();
    EXPECT_FALSE(client.menu.open);
    EXPECT_FALSE(client.quitRequested());
    tap(input, keys::kEscape);
    tick();
    EXPECT_TRUE(client.quitRequested());
}

TEST_F(OptionsTest, ABattleIsSetUpOnTheOptionsScreenAndTheNameIsTyped) {
    tap(input, keys::kO);
    tick();
    const auto select = [this](int item) {
        while (client.menu.selected != item) {
            tap(input, client.menu.selected < item ? keys::kDown : keys::kUp);
            tick();
        }
    };
    select(OptionsMenu::kMode);
    tap(input, keys::kEnter);
    tick();
    select(OptionsMenu::kTanks);
    for (int i = 0; i < 6; ++i) {
        tap(input, keys::kRight);
        tick();
    }
    EXPECT_EQ(client.settings.tanks, MatchSetup::kMaxSeats) << "4 and up, no further than 8";
    select(OptionsMenu::kTeams);
    tap(input, keys::kEnter);
    tick();
    select(OptionsMenu::kFragLimit);
    tap(input, keys::kLeft);
    tick();
    select(OptionsMenu::kTimeLimit);
    tap(input, keys::kRight);
    tick();
    const MatchState& coming = client.flow->match.state;
    EXPECT_EQ(coming.mode, Mode::Battle);
    EXPECT_EQ(coming.seatCount(), 8);
    EXPECT_TRUE(coming.teams);
    EXPECT_EQ(coming.fragLimit, 5);
    EXPECT_EQ(coming.timeLimitTicks, 360u * Match::kTicksPerSecond);

    // The name: typed, a letter taken back, kept with ENTER. The keys spell; none of them
    // leaves the screen or plays.
    select(OptionsMenu::kName);
    tap(input, keys::kEnter);
    tick();
    ASSERT_TRUE(client.menu.typing());
    for (int i = 0; i < 6; ++i) {
        tap(input, keys::kBackspace);
    }
    for (const char c : std::string("Olga Moor")) {
        input.typed(static_cast<unsigned char>(c));
    }
    input.typed(0x00E9); // not in the font: not taken
    tap(input, keys::kO);
    tick();
    tap(input, keys::kBackspace);
    tick();
    EXPECT_TRUE(client.menu.open) << "O spells, and leaves nothing";
    tap(input, keys::kEnter);
    tick();
    EXPECT_FALSE(client.menu.typing());
    EXPECT_EQ(client.settings.name, "Olga Moo");
    EXPECT_STREQ(client.seatName(GameClient::kPlayerSeat), "Olga Moo");

    // A name of spaces is no name: ENTER keeps typing, ESC drops the draft and stays.
    tap(input, keys::kEnter);
    tick();
    for (int i = 0; i < 8; ++i) {
        tap(input, keys::kBackspace);
    }
    input.typed(' ');
    tick();
    tap(input, keys::kEnter);
    tick();
    EXPECT_TRUE(client.menu.typing());
    tap(input, keys::kEscape);
    tick();
    EXPECT_FALSE(client.menu.typing());
    EXPECT_TRUE(client.menu.open);
    EXPECT_FALSE(client.quitRequested());
    EXPECT_EQ(client.settings.name, "Olga Moo");

    // ENTER after leaving starts the battle, with the player's name in its first seat.
    tap(input, keys::kEscape);
    tick();
    tap(input, keys::kEnter);
    tick();
    EXPECT_TRUE(client.matchRunning());
    EXPECT_EQ(client.shownMatch().seatCount(), 8);
}

// ESC on the options screen leaves the screen and nothing more, however it comes: pressed and
// released between two reads of the input, held over many ticks, or pressed twice before one.
TEST_F(OptionsTest, EscOnTheOptionsScreenNeverQuits) {
    const auto open = [&] {
        tap(input, keys::kO);
        tick();
        ASSERT_TRUE(client.menu.open);
    };
    open();
    tap(input, keys::kEscape); // press and release within one poll
    for (int i = 0; i < 30; ++i) {
        tick();
        ASSERT_FALSE(client.quitRequested()) << i;
    }
    EXPECT_FALSE(client.menu.open);

    open();
    input.keyEvent(keys::kEscape, KeyAction::Press); // held for half a second
    for (int i = 0; i < 30; ++i) {
        tick();
        ASSERT_FALSE(client.quitRequested()) << i;
    }
    input.keyEvent(keys::kEscape, KeyAction::Release);
    tick();
    EXPECT_FALSE(client.menu.open);
    EXPECT_FALSE(client.quitRequested());

    // Two presses before one read: the options screen takes both.
    open();
    tap(input, keys::kEscape);
    tap(input, keys::kEscape);
    tick();
    EXPECT_FALSE(client.menu.open);
    tick();
    EXPECT_FALSE(client.quitRequested());

    // O and keys for the screen before one read: the screen takes them.
    tap(input, keys::kO);
    tap(input, keys::kDown);
    tap(input, keys::kRight);
    tick();
    EXPECT_TRUE(client.menu.open);
    EXPECT_EQ(client.menu.selected, 1);
    EXPECT_EQ(client.settings.quality, QualityPreset::Balanced);
    tap(input, keys::kEscape);
    tick();

    // O and ESC before one read, on the title: the options open and close, and that is all.
    tap(input, keys::kO);
    tap(input, keys::kEscape);
    tick();
    tick();
    EXPECT_FALSE(client.menu.open);
    EXPECT_FALSE(client.quitRequested());
    open();
    tap(input, keys::kEscape);
    tick();
    EXPECT_FALSE(client.menu.open);
    EXPECT_FALSE(client.quitRequested());

    // O held over the steps of a slow frame closes the screen once and leaves it closed.
    open();
    input.keyEvent(keys::kO, KeyAction::Press);
    for (int i = 0; i < 4; ++i) {
        tick();
        EXPECT_FALSE(client.menu.open) << i;
    }
    input.keyEvent(keys::kO, KeyAction::Release);
    tick();
    EXPECT_FALSE(client.menu.open);
}

// The end screen opens the options too; ESC comes back to it, and only a second ESC quits.
TEST_F(OptionsTest, OOnTheEndScreenOpensTheOptionsAndEscComesBack) {
    tap(input, keys::kEnter);
    tick();
    tap(input, keys::kO);
    tick();
    EXPECT_FALSE(client.menu.open) << "not over a running match";
    tap(input, keys::kL);
    tick();
    ASSERT_TRUE((client.flow->phase() == Phase::Ended));
    const char* const result = client.resultLine();
    tap(input, keys::kO);
    tick();
    ASSERT_TRUE(client.menu.open);
    tap(input, keys::kEnter); // changes the window setting, starts nothing
    tick();
    EXPECT_TRUE((client.flow->phase() == Phase::Ended));
    tap(input, keys::kEscape);
    tick();
    EXPECT_FALSE(client.menu.open);
    EXPECT_FALSE(client.quitRequested());
    EXPECT_TRUE((client.flow->phase() == Phase::Ended)) << "back on the end screen";
    EXPECT_STREQ(client.resultLine(), result);
    EXPECT_FALSE(client.matchRunning());
    tap(input, keys::kEscape);
    tick();
    EXPECT_TRUE(client.quitRequested());
}

TEST(SettingsFileTest, KeptWholeAndReadBack) {
    TempDir dir;
    const SettingsFile file(dir.path() + "/brakkel/settings.toml");
    std::ostringstream said;
    EXPECT_EQ(file.load(said), Settings()) << "no file: the defaults";
    EXPECT_EQ(said.str(), "");

    Settings chosen;
    chosen.fullscreen = true;
    chosen.quality = QualityPreset::Fast;
    chosen.renderScale = 55;
    chosen.masterVolume = 0;
    chosen.engineVolume = 40;
    chosen.aim = AimScheme::Mouse;
    chosen.mouseSensitivity = 400;
    chosen.invertPitch = true;
    chosen.radar = false;
    chosen.rules = Rules::Duel;
    chosen.mode = Mode::Battle;
    chosen.tanks = 6;
    chosen.teams = true;
    chosen.fragLimit = 25;
    chosen.timeLimitSeconds = 600;
    chosen.name = "Ada \"#1\" \\ 'x'";
    chosen.skill = Skill::Veteran;
    chosen.battleSkill = Skill::Ace;
    chosen.arena = "my maze-2.v1";
    std::string error;
    ASSERT_TRUE(file.save(chosen, error)) << error;
    EXPECT_EQ(file.load(said), chosen);
    EXPECT_EQ(said.str(), "");
    EXPECT_FALSE(std::filesystem::exists(file.path() + ".new")) << "renamed into place";

    // Where the settings live.
    const char* home = std::getenv("HOME");
    const std::string homeBefore = home != nullptr ? home : "";
    setenv("XDG_CONFIG_HOME", "/somewhere", 1);
    EXPECT_EQ(SettingsFile::standardPath(), "/somewhere/brakkel/settings.toml");
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(SettingsFile::standardPath(), "/home/player/.config/brakkel/settings.toml");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", homeBefore.c_str(), 1);
}

TEST(SettingsFileTest, AnAimingSchemeNotKnownIsNamedAndTheKeysAimInstead) {
    TempDir dir;
    const SettingsFile file(dir.path() + "/settings.toml");
    std::ofstream(file.path()) << "aim = \"joystick\"\nradar = false\n";
    std::ostringstream said;
    const Settings read = file.load(said);
    EXPECT_EQ(read.aim, AimScheme::Keys);
    EXPECT_FALSE(read.radar) << "the other entries are taken";
    EXPECT_EQ(said.str(), "Settings: " + file.path() +
                              ": aim must be one of \"keys\", \"mouse\"; using \"keys\"\n");
    std::ofstream(file.path()) << "aim = \"mouse\"\n";
    EXPECT_EQ(file.load(said).aim, AimScheme::Mouse);
}

TEST(SettingsFileTest, AnArenaNameThatReachesOutOfItsFolderIsNamedAndTheBuiltInOneKept) {
    TempDir dir;
    const SettingsFile file(dir.path() + "/settings.toml");
    std::ofstream(file.path()) << "arena = \"../../maze\"\n";
    std::ostringstream said;
    EXPECT_EQ(file.load(said).arena, "");
    EXPECT_EQ(said.str(),
              "Settings: " + file.path() +
                  ": arena must be \"\" (the built-in arena) or an arena file's name: 1 "
                  "to 32 letters, digits, spaces, '_', '-' or '.'; using the built-in "
                  "arena\n");
    std::ofstream(file.path()) << "arena = \"towers\"\n";
    EXPECT_EQ(file.load(said).arena, "towers");
}

// "Arena" steps through the built-in arena and the files it is given, both ways round; the
// client's games and its title's backdrop take an arena handed to it, from the next match.
TEST_F(OptionsTest, TheArenaIsChosenOnTheOptionsScreenAndTakenForTheNextMatch) {
    client.menu.arenas = {"maze", "pillars"};
    tap(input, keys::kO);
    tick();
    while (client.menu.selected != OptionsMenu::kArena) {
        tap(input, keys::kDown);
        tick();
    }
    char shown[64];
    OptionsMenu::describe(OptionsMenu::kArena, client.settings, shown, sizeof shown);
    EXPECT_STREQ(shown, "Built in (Classic)");
    std::vector<std::string> chosen;
    for (const int key : {keys::kRight, keys::kRight, keys::kRight, keys::kLeft}) {
        tap(input, key);
        tick();
        EXPECT_TRUE(client.takeSettingsChange());
        chosen.push_back(client.settings.arena);
    }
    EXPECT_EQ(chosen, (std::vector<std::string>{"maze", "pillars", "", "pillars"}));
    OptionsMenu::describe(OptionsMenu::kArena, client.settings, shown, sizeof shown);
    EXPECT_STREQ(shown, "pillars");
    // A name no longer among the files steps back to the built-in arena.
    client.menu.arenas = {"maze"};
    tap(input, keys::kRight);
    tick();
    EXPECT_EQ(client.settings.arena, "");

    // What the scene hands over once it has loaded the chosen file.
    Arena other = Arena::standard();
    other.spawns[0].position.x += 1.0f;
    ASSERT_NE(other.hash(), Arena::standard().hash());
    client.setArena(other);
    EXPECT_EQ(client.shownArenaHash(), other.hash());
    EXPECT_EQ(client.flow->match.arena.hash(), other.hash());
    EXPECT_EQ(client.attract.match().arena.hash(), other.hash());
    tap(input, keys::kEscape);
    tick();
    tap(input, keys::kEnter);
    tick();
    ASSERT_TRUE(client.matchRunning());
    EXPECT_EQ(client.shownMatch().tank(GameClient::kPlayerSeat).position.x,
              other.spawns[0].position.x);
}

// Random bytes, and random entries of every key with values of every kind: never a crash,
// never a value out of its range, and never more lines than entries.
TEST(SettingsFileTest, WhateverTheFileHoldsGivesValidSettingsAndOneLineAFault) {
    TempDir dir;
    const std::string path = dir.path() + "/settings.toml";
    const SettingsFile file(path);
    std::mt19937 random(11u);
    const char* keys[] = {
        "fullscreen", "quality", "render_scale", "master_volume",     "engine_volume",
        "rules",      "radar",   "invert_pitch", "mouse_sensitivity", "unknown_key",
        "mode",       "tanks",   "teams",        "frag_limit",        "time_limit",
        "name",       "aim",     "skill",        "battle_skill",      "arena"};
    const char* values[] = {"true",        "false",
                            "0",           "50",
                            "100",         "-3",
                            "1e9",         "400",
                            "\"fast\"",    "\"duel\"",
                            "\"big\"",     "[1, 2]",
                            "{a=1}",       "3.5",
                            "99999999999", "\"\"",
                            "nan",         "\"battle\"",
                            "8",           "9",
                            "\"Ada\"",     "\"\\u00e9t\u00e9\"",
                            "\"   \"",     "\"seventeen chars!!\"",
                            "\"mouse\"",   "\"keys\"",
                            "\"Mouse\"",   "\"ace\"",
                            "\"Ace\"",     "\"../../etc/passwd\"",
                            "\"maze\"",    "\".hidden\""};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        int entries = 0;
        if (round % 5 == 0) {
            text.resize(random() % 300);
            for (char& c : text) {
                c = static_cast<char>(random());
            }
        } else {
            const int count = 1 + static_cast<int>(random() % 6);
            for (int i = 0; i < count; ++i) {
                text += std::string(keys[random() % std::size(keys)]) + " = " +
                        values[random() % std::size(values)] + "\n";
                ++entries;
            }
        }
        std::ofstream(path, std::ios::binary) << text;
        std::ostringstream said;
        const Settings read = file.load(said);
        SCOPED_TRACE(text);
        EXPECT_GE(read.renderScale, Settings::kMinRenderScale);
        EXPECT_LE(read.renderScale, Settings::kMaxRenderScale);
        EXPECT_GE(read.masterVolume, 0);
        EXPECT_LE(read.masterVolume, Settings::kMaxVolume);
        EXPECT_GE(read.mouseSensitivity, Settings::kMinSensitivity);
        EXPECT_GE(read.tanks, MatchSetup::kMinSeats);
        EXPECT_LE(read.tanks, MatchSetup::kMaxSeats);
        EXPECT_GE(read.fragLimit, MatchSetup::kMinFragLimit);
        EXPECT_GE(read.timeLimitSeconds, MatchSetup::kMinTimeLimitSeconds);
        EXPECT_TRUE(player_name::valid(read.name)) << read.name;
        EXPECT_TRUE(read.arena.empty() || Settings::validArena(read.arena)) << read.arena;
        const std::string lines = said.str();
        const auto count = std::count(lines.begin(), lines.end(), '\n');
        EXPECT_LE(count, std::max(entries, 1));
        std::istringstream each(lines);
        for (std::string line; std::getline(each, line);) {
            EXPECT_EQ(line.rfind("Settings: " + path + ": ", 0), 0u) << line;
        }
    }
}

} // namespace
