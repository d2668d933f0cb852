// What a frame costs after start-up: no new GL objects at all, and heap allocations only for
// the text layer's strings and vertex arrays, plus one bullet per shot.
#include "AllocationCounter.h"
#include "GlObjectCounter.h"

#include "support/SceneFixture.h"

#include "app/Window.h"
#include "game/BulletSystem.h"
#include "render/TextRenderer.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kSteadyFrames = 30;
constexpr std::size_t kBlocksPerBullet = 3;
constexpr std::size_t kBlocksPerTextLine = 3;

class FrameBudgetTest : public SceneTest {
protected:
    void click() {
        window::injectMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
        frame();
        window::injectMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
    }

    // Frames of every screen: the title, a match with a shot that bursts on the centre block,
    // the end screen, a restart, and the display options switched on and off again.
    void playEveryScreen() {
        frame();
        tap(GLFW_KEY_ENTER);
        frame();
        click();
        for (int i = 0; i < kSteadyFrames; ++i) {
            frame();
        }
        EXPECT_TRUE(bulletSystem->bullets.empty()) << "the shot should have hit by now";
        tap(GLFW_KEY_L);
        frame();
        tap(GLFW_KEY_ENTER);
        frame();
        for (int key : {GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5}) {
            tap(key);
            frame();
            tap(key);
            frame();
        }
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

TEST_F(FrameBudgetTest, TextLayerAllocatesOneArrayEachForCornersAndCells) {
    allocationCounter::start();
    drawText("Lives:  Player:5 Enemy:5", 10, 10, 50);
    EXPECT_EQ(allocationCounter::stop(), 2u);
}

// The lives line is built by the standard library (not counted here); its two vertex arrays
// are the frame's only allocations.
TEST_F(FrameBudgetTest, MatchFramesAllocateOnlyTheLivesLine) {
    tap(GLFW_KEY_ENTER);
    frame();
    frame();
    const std::size_t one = countFrames(1);
    EXPECT_EQ(one, 2u);
    EXPECT_EQ(countFrames(kSteadyFrames), one * kSteadyFrames);
}

// A bullet is three blocks: the object, its own copy of the mesh list, its entry in the list.
TEST_F(FrameBudgetTest, AShotAllocatesOneBullet) {
    tap(GLFW_KEY_ENTER);
    frame();
    frame();
    const std::size_t steady = countFrames(1);
    allocationCounter::start();
    click();
    const std::size_t shot = allocationCounter::stop();
    EXPECT_EQ(bulletSystem->bullets.size(), 1u);
    EXPECT_EQ(shot, steady + kBlocksPerBullet);
}

// At most a string and two vertex arrays per line of text: two lines on the title screen,
// four on the end screen.
TEST_F(FrameBudgetTest, TitleAndEndFramesAllocateOnlyForTheirText) {
    frame();
    const std::size_t title = countFrames(1);
    EXPECT_LE(title, 2 * kBlocksPerTextLine);
    EXPECT_EQ(countFrames(kSteadyFrames), title * kSteadyFrames);
    tap(GLFW_KEY_ENTER);
    frame();
    tap(GLFW_KEY_L);
    frame();
    const std::size_t end = countFrames(1);
    EXPECT_LE(end, 4 * kBlocksPerTextLine);
    EXPECT_EQ(countFrames(kSteadyFrames), end * kSteadyFrames);
}

} // namespace
