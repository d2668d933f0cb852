// What a frame costs after start-up: no new GL objects and no heap allocation at all, shots and
// resizes of the window included. The game plays its sounds into a real (recording) sound device
// meanwhile.
#include "GlObjectCounter.h"

#include "platform/WindowSize.h"
#include "support/AllocationCounter.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

namespace {

constexpr int kSteadyFrames = 30;

class FrameBudgetTest : public SceneTest {
protected:
    FrameBudgetTest() { soundDevice = true; }

    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(scene->sound.output().hasDevice());
    }

    // Frames of every screen: the title and its options screen, a match with the radar and a
    // shot that bursts on the centre block, the window resized and back, the end screen, a
    // restart, and the display options (the radar's too) and the sound switched off and on.
    void playEveryScreen() {
        frame();
        tap(keys::kO);
        frame();
        tap(keys::kDown);
        tap(keys::kRight); // the quality preset
        frame();
        tap(keys::kEscape);
        frame();
        tap(keys::kEnter);
        frame();
        EXPECT_TRUE(scene->options.showRadar);
        click();
        for (int i = 0; i < kSteadyFrames; ++i) {
            frame();
        }
        EXPECT_TRUE(match().state.bullets.bullets.empty()) << "the shot should have hit by now";
        resizeAndBack();
        tap(keys::kL);
        frame();
        tap(keys::kEnter);
        frame();
        for (int key :
             {keys::kF1, keys::kF2, keys::kF3, keys::kF4, keys::kF5, keys::kF6, keys::kM}) {
            tap(key);
            frame();
            tap(key);
            frame();
        }
    }

    void resizeAndBack() {
        for (const glm::ivec2& size :
             {glm::ivec2(800, 600), glm::ivec2(1, 1), glm::ivec2(kWindowWidth, kWindowHeight)}) {
            window().resize(size);
            frame();
            frame();
            const glm::ivec2 target = glm::round(glm::vec2(size) * scene->quality.scale);
            EXPECT_EQ(scene->renderer.mainPass.size(), glm::max(target, glm::ivec2(1)))
                << "the targets follow the window";
        }
    }

    int deathsSoFar() {
        int deaths = 0;
        for (const Seat& seat : match().state.seats) {
            deaths += seat.deaths;
        }
        return deaths;
    }

    std::size_t countFrames(int frames) {
        allocationCounter::start();
        for (int i = 0; i < frames; ++i) {
            frame();
        }
        return allocationCounter::stop();
    }
};

TEST_F(FrameBudgetTest, TheCounterSeesEveryWayTheGameCreatesObjects) {
    glObjectCounter::install();
    GLuint names[3] = {};
    glGenBuffers(2, names);
    glGenTextures(1, &names[2]);
    const GLuint program = glCreateProgram();
    const long created = glObjectCounter::created();
    glObjectCounter::uninstall();
    EXPECT_EQ(created, 4);
    glDeleteBuffers(2, names);
    glDeleteTextures(1, &names[2]);
    glDeleteProgram(program);
}

TEST_F(FrameBudgetTest, FramesAfterStartUpCreateNoGlObjects) {
    glObjectCounter::install();
    testing::internal::CaptureStdout();
    playEveryScreen();
    testing::internal::GetCapturedStdout();
    const long created = glObjectCounter::created();
    glObjectCounter::uninstall();
    EXPECT_EQ(created, 0);
}

TEST_F(FrameBudgetTest, TheAllocationCounterCountsTheGamesOwnAllocations) {
    allocationCounter::start();
    std::vector<int> grown;
    grown.push_back(1);
    EXPECT_EQ(allocationCounter::stop(), 1u);
}

// Every screen, with the frame-rate line, the list of controls and the match's radar on and a
// pad connected: once warmed up, frames allocate nothing.
TEST_F(FrameBudgetTest, FramesOfEveryScreenAllocateNothing) {
    PadState pad;
    pad.connected = true;
    window().injectPad(pad);
    tap(keys::kF2);
    tap(keys::kF1);
    frame();
    EXPECT_EQ(countFrames(kSteadyFrames), 0u) << "title";
    tap(keys::kO);
    frame();
    EXPECT_EQ(countFrames(kSteadyFrames), 0u) << "options";
    tap(keys::kEscape);
    frame();
    tap(keys::kG);
    frame();
    ASSERT_TRUE(scene->client.games.shown());
    // Long enough for the screen to ask again, and to take what answers.
    EXPECT_EQ(countFrames(FindGamesScreen::kProbeTicks + 10), 0u) << "find games";
    tap(keys::kG);
    frame();
    ASSERT_FALSE(scene->client.games.shown());
    tap(keys::kEnter);
    frame();
    ASSERT_TRUE(scene->options.showRadar);
    EXPECT_EQ(countFrames(kSteadyFrames), 0u) << "match";
    window().resize(glm::ivec2(900, 500));
    frame();
    frame();
    EXPECT_EQ(countFrames(kSteadyFrames), 0u) << "match in a resized window";
    window().resize(glm::ivec2(kWindowWidth, kWindowHeight));
    tap(keys::kL);
    frame();
    EXPECT_EQ(countFrames(kSteadyFrames), 0u) << "end";
}

// A battle of eight tanks, set up on the options screen: its frames, names over the tanks, the
// scoreboard held up with TAB, tanks destroyed and brought back, allocate nothing.
TEST_F(FrameBudgetTest, FramesOfAnEightTankBattleAllocateNothing) {
    tap(keys::kO);
    frame();
    while (scene->client.menu.selected != OptionsMenu::kMode) {
        tap(keys::kDown);
        frame();
    }
    tap(keys::kRight);
    frame();
    tap(keys::kDown);
    frame();
    for (int i = 0; i < 4; ++i) {
        tap(keys::kRight);
        frame();
    }
    tap(keys::kO);
    frame();
    tap(keys::kEnter);
    frame();
    ASSERT_EQ(match().seatCount(), 8);
    testing::internal::CaptureStdout();
    // Until a tank has been destroyed and brought back, so that its first time is behind.
    int frames = 0;
    for (; frames < 2000 && deathsSoFar() < 2; ++frames) {
        frame();
    }
    ASSERT_GE(deathsSoFar(), 2);
    EXPECT_EQ(countFrames(kSteadyFrames), 0u) << "battle";
    press(keys::kTab);
    frame();
    EXPECT_EQ(countFrames(kSteadyFrames), 0u) << "battle with the scoreboard";
    release(keys::kTab);
    testing::internal::GetCapturedStdout();
}

// A bullet takes room made at start-up; so does its burst on the centre block.
TEST_F(FrameBudgetTest, AShotAllocatesNothing) {
    tap(keys::kEnter);
    frame();
    frame();
    allocationCounter::start();
    click();
    frame();
    const std::size_t shot = allocationCounter::stop();
    EXPECT_EQ(match().state.bullets.bullets.size(), 1u);
    EXPECT_EQ(shot, 0u);
    testing::internal::CaptureStdout();
    EXPECT_EQ(countFrames(kSteadyFrames), 0u);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(match().state.bullets.bullets.empty());
}

} // namespace
