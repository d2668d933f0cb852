// The options screen worked with the keys, the pad and the mouse, and the settings file: kept
// whole, read back, and whatever it holds never more than the defaults and one line a fault.
#include "client/GameClient.h"
#include "client/SettingsFile.h"
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
    for (int i = 0; i < 6; ++i) {
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
    for (int i = 0; i < 8; ++i) {
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
    input.scroll(-4.0);
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
    chosen.mouseSensitivity = 400;
    chosen.invertPitch = true;
    chosen.radar = false;
    chosen.rules = Rules::Duel;
    chosen.skill = Skill::Veteran;
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

// Random bytes, and random entries of every key with values of every kind: never a crash,
// never a value out of its range, and never more lines than entries.
TEST(SettingsFileTest, WhateverTheFileHoldsGivesValidSettingsAndOneLineAFault) {
    TempDir dir;
    const std::string path = dir.path() + "/settings.toml";
    const SettingsFile file(path);
    std::mt19937 random(11u);
    const char* keys[] = {
        "fullscreen", "quality",      "render_scale", "master_volume",     "engine_volume", "rules",
        "radar",      "invert_pitch", "skill",        "mouse_sensitivity", "unknown_key"};
    const char* values[] = {"true",    "false",  "0",       "50",       "100",
                            "-3",      "1e9",    "400",     "\"fast\"", "\"duel\"",
                            "\"big\"", "[1, 2]", "{a=1}",   "3.5",      "99999999999",
                            "\"\"",    "nan",    "\"ace\"", "\"Ace\""};
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
