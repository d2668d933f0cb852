#include "app/FrameClock.h"

#include <gtest/gtest.h>

namespace {

class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override { framesPerSecond = 300.0; }
    FrameClock clock;
};

TEST_F(FrameClockTest, FigureStaysAtStartValueUntilFirstSample) {
    // Odd tenths of a second never sample.
    for (double t : {0.1, 0.15, 0.3, 0.35, 0.5}) {
        clock.sampleFrameRate(t);
        clock.countFrame();
    }
    EXPECT_DOUBLE_EQ(framesPerSecond, 300.0);
}

TEST_F(FrameClockTest, SampleAtTheVeryFirstFrameGivesHalfTheStartValue) {
    clock.sampleFrameRate(0.02);
    EXPECT_DOUBLE_EQ(framesPerSecond, 150.0);
}

TEST_F(FrameClockTest, OneSamplePerEvenTenthFollowingAnOddOne) {
    clock.sampleFrameRate(0.0); // sample: 0 frames
    clock.countFrame();
    clock.sampleFrameRate(0.05); // same even tenth: no second sample
    clock.countFrame();
    EXPECT_DOUBLE_EQ(framesPerSecond, 150.0);
    clock.sampleFrameRate(0.12); // odd: arms
    clock.countFrame();
    clock.sampleFrameRate(0.21); // even: samples the 3 frames counted since
    EXPECT_DOUBLE_EQ(framesPerSecond, 5.0 * 3 + 0.5 * 150.0);
}

TEST_F(FrameClockTest, SteadySixtyFramesPerSecondSettlesNearOneHundredTwenty) {
    const double frameTime = 1.0 / 60.0;
    for (int frame = 0; frame < 60 * 30; ++frame) {
        clock.sampleFrameRate(frame * frameTime + 1e-6);
        clock.countFrame();
    }
    EXPECT_NEAR(framesPerSecond, 120.0, 6.0);
}

TEST_F(FrameClockTest, FirstFrameTimeIsEverythingSinceStart) {
    EXPECT_FLOAT_EQ(clock.elapsedMs(2.5), 2500.0f);
}

TEST_F(FrameClockTest, FrameTimeIsMeasuredFromTheLastMark) {
    clock.markTime(10.0);
    EXPECT_NEAR(clock.elapsedMs(10.016), 16.0f, 1e-3f);
}

TEST_F(FrameClockTest, FrameTimeKeepsSubMillisecondPrecisionAfterDaysOfRunning) {
    // Five days in, a float of milliseconds has steps of 32 ms; the difference must not.
    const double start = 5 * 24 * 3600.0;
    clock.markTime(start);
    EXPECT_NEAR(clock.elapsedMs(start + 0.0166), 16.6f, 0.01f);
    clock.markTime(start + 0.0166);
    EXPECT_NEAR(clock.elapsedMs(start + 0.0171), 0.5f, 0.01f);
}

} // namespace
