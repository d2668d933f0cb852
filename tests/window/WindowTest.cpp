// Input through the window adapter: the path the window system's events take.
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class RecordingListener : public KeyListener {
public:
    void onKey(int key, KeyAction action) override { seen.emplace_back(key, action); }
    std::vector<std::pair<int, KeyAction>> seen;
};

class WindowTest : public GlTest {
protected:
    void TearDown() override {
        testWindow().setKeyListener(nullptr);
        testWindow().input() = InputState();
    }
};

TEST_F(WindowTest, ListenerSeesPressesAndReleasesInOrderAfterTheStateChanged) {
    RecordingListener listener;
    testWindow().setKeyListener(&listener);
    testWindow().injectKey(keys::kF2, KeyAction::Press);
    testWindow().injectKey(keys::kF2, KeyAction::Release);
    ASSERT_EQ(listener.seen.size(), 2u);
    EXPECT_EQ(listener.seen[0], std::make_pair(keys::kF2, KeyAction::Press));
    EXPECT_EQ(listener.seen[1], std::make_pair(keys::kF2, KeyAction::Release));
    EXPECT_TRUE(testWindow().input().readKey(keys::kF2)); // the tap is kept for the game
}

TEST_F(WindowTest, ClickBetweenTwoPollsReadsAsOnePress) {
    testWindow().injectButton(buttons::kLeft, KeyAction::Press);
    testWindow().injectButton(buttons::kLeft, KeyAction::Release);
    EXPECT_TRUE(testWindow().input().readButton(buttons::kLeft));
    EXPECT_FALSE(testWindow().input().readButton(buttons::kLeft));
}

TEST_F(WindowTest, TimerRunsInSecondsAndTheWindowStaysOpen) {
    const double t = testWindow().time();
    EXPECT_GE(t, 0.0);
    EXPECT_GE(testWindow().time(), t);
    EXPECT_TRUE(testWindow().isOpen());
    EXPECT_FALSE(testWindow().closeRequested());
}

} // namespace
