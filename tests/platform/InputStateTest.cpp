// What the game reads of keys, buttons, cursor and wheel between two reads.
#include "platform/InputState.h"

#include <gtest/gtest.h>

namespace {

TEST(InputStateTest, HeldKeyReadsPressedUntilReleased) {
    InputState input;
    input.keyEvent(keys::kW, KeyAction::Press);
    EXPECT_TRUE(input.readKey(keys::kW));
    EXPECT_TRUE(input.readKey(keys::kW));
    input.keyEvent(keys::kW, KeyAction::Release);
    EXPECT_FALSE(input.readKey(keys::kW)); // already seen: the release ends it at once
}

TEST(InputStateTest, TapBetweenTwoReadsIsSeenByExactlyOneRead) {
    InputState input;
    input.keyEvent(keys::kEscape, KeyAction::Press);
    input.keyEvent(keys::kEscape, KeyAction::Release);
    EXPECT_TRUE(input.readKey(keys::kEscape));
    EXPECT_FALSE(input.readKey(keys::kEscape));
    // Two taps before a read count once; a tap and a hold read as held.
    input.keyEvent(keys::kD, KeyAction::Press);
    input.keyEvent(keys::kD, KeyAction::Release);
    input.keyEvent(keys::kD, KeyAction::Press);
    input.keyEvent(keys::kD, KeyAction::Release);
    EXPECT_TRUE(input.readKey(keys::kD));
    EXPECT_FALSE(input.readKey(keys::kD));
}

TEST(InputStateTest, MouseButtonsAreStickyLikeKeys) {
    InputState input;
    input.buttonEvent(buttons::kLeft, KeyAction::Press);
    input.buttonEvent(buttons::kLeft, KeyAction::Release);
    EXPECT_TRUE(input.readButton(buttons::kLeft));
    EXPECT_FALSE(input.readButton(buttons::kLeft));
    EXPECT_FALSE(input.readKey(keys::kA)); // keys and buttons are apart
}

TEST(InputStateTest, UnknownCodesReadReleasedAndAreIgnored) {
    InputState input;
    input.keyEvent(-1, KeyAction::Press);
    input.keyEvent(keys::kLast + 1, KeyAction::Press);
    input.buttonEvent(buttons::kLast + 1, KeyAction::Press);
    EXPECT_FALSE(input.readKey(-1));
    EXPECT_FALSE(input.readKey(keys::kLast + 1));
    EXPECT_FALSE(input.readButton(99));
}

TEST(InputStateTest, WheelAddsUpToWholeNotchesAndCursorIsKept) {
    InputState input;
    input.scroll(1);
    input.scroll(1);
    input.scroll(-3);
    EXPECT_EQ(input.wheel(), -1);
    input.scroll(0.3);
    input.scroll(0.3); // a touchpad's fractions
    EXPECT_EQ(input.wheel(), 0);
    input.moveCursor({500, 400});
    EXPECT_EQ(input.cursor(), glm::ivec2(500, 400));
}

// Mouse aim reads the captured pointer's moves: only while captured, from the first position
// reported after the capture, each taken once.
TEST(InputStateTest, TheCapturedPointersMovesAddUpAndATakeClearsThem) {
    InputState input;
    input.moveCursor({100, 100});
    input.moveCursor({300, 100});
    EXPECT_EQ(input.takePointerMotion(), glm::vec2(0.0f)) << "not captured: no look";
    input.capturePointer(true);
    input.moveCursor({5000, -40}); // where the window system puts a captured pointer
    EXPECT_EQ(input.takePointerMotion(), glm::vec2(0.0f)) << "the jump of the capture";
    input.moveCursor({5012, -40});
    input.moveCursor({5020, -37});
    EXPECT_EQ(input.takePointerMotion(), glm::vec2(20.0f, 3.0f));
    EXPECT_EQ(input.takePointerMotion(), glm::vec2(0.0f));
    input.moveCursor({5010, -37});
    input.capturePointer(false); // let go: what had not been taken goes too
    EXPECT_EQ(input.takePointerMotion(), glm::vec2(0.0f));
    input.moveCursor({200, 200});
    EXPECT_EQ(input.takePointerMotion(), glm::vec2(0.0f));
    EXPECT_EQ(input.cursor(), glm::ivec2(200, 200));
}

} // namespace
