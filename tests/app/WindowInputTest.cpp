#include "app/Window.h"
#include "support/GlContext.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::pair<int, int>> seenKeys;
void recordKey(int key, int action) {
    seenKeys.emplace_back(key, action);
}

class WindowInputTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        seenKeys.clear();
        window::setKeyCallback(recordKey);
    }
    void TearDown() override {
        window::setKeyCallback(nullptr);
        window::injectKey(GLFW_KEY_W, GLFW_RELEASE);
        window::key(GLFW_KEY_W);
    }
};

TEST_F(WindowInputTest, KeyReadsPressedWhileHeld) {
    window::injectKey(GLFW_KEY_W, GLFW_PRESS);
    EXPECT_EQ(window::key(GLFW_KEY_W), GLFW_PRESS);
    EXPECT_EQ(window::key(GLFW_KEY_W), GLFW_PRESS);
}

TEST_F(WindowInputTest, StickyKeyReleasedBeforePollingReadsPressedOnce) {
    window::enableStickyKeys();
    window::injectKey(GLFW_KEY_ESCAPE, GLFW_PRESS);
    window::injectKey(GLFW_KEY_ESCAPE, GLFW_RELEASE);
    EXPECT_EQ(window::key(GLFW_KEY_ESCAPE), GLFW_PRESS);
    EXPECT_EQ(window::key(GLFW_KEY_ESCAPE), GLFW_RELEASE);
}

TEST_F(WindowInputTest, CallbackSeesPressesAndReleasesInOrder) {
    window::injectKey(GLFW_KEY_F2, GLFW_PRESS);
    window::injectKey(GLFW_KEY_F2, GLFW_RELEASE);
    ASSERT_EQ(seenKeys.size(), 2u);
    EXPECT_EQ(seenKeys[0], std::make_pair(GLFW_KEY_F2, GLFW_PRESS));
    EXPECT_EQ(seenKeys[1], std::make_pair(GLFW_KEY_F2, GLFW_RELEASE));
}

TEST_F(WindowInputTest, UnknownKeysReadReleasedAndDoNotCrash) {
    EXPECT_EQ(window::key(-1), GLFW_RELEASE);
    EXPECT_EQ(window::key(GLFW_KEY_LAST + 1), GLFW_RELEASE);
    window::injectKey(GLFW_KEY_UNKNOWN, GLFW_PRESS);
    EXPECT_EQ(window::mouseButton(99), GLFW_RELEASE);
}

TEST_F(WindowInputTest, WheelAccumulatesWholeSteps) {
    const int start = window::mouseWheel();
    window::injectScroll(1);
    window::injectScroll(1);
    window::injectScroll(-3);
    EXPECT_EQ(window::mouseWheel(), start - 1);
}

TEST_F(WindowInputTest, MouseButtonsAndPositionAreKept) {
    window::injectMouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
    window::injectMousePosition(500, 400);
    int x = 0;
    int y = 0;
    window::mousePosition(&x, &y);
    EXPECT_EQ(window::mouseButton(GLFW_MOUSE_BUTTON_RIGHT), GLFW_PRESS);
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, 400);
    window::injectMouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
    EXPECT_EQ(window::mouseButton(GLFW_MOUSE_BUTTON_RIGHT), GLFW_RELEASE);
}

TEST_F(WindowInputTest, TimerRunsInSeconds) {
    const double t = window::time();
    EXPECT_GE(t, 0.0);
    EXPECT_GE(window::time(), t);
}

} // namespace
