// The game loop's fixed step and the frame-rate figure.
#include "platform/FixedStep.h"
#include "platform/FrameRateMeter.h"

#include <gtest/gtest.h>

namespace {

TEST(FixedStepTest, RunsTheStepsRealTimeCallsForAtAnyFrameRate) {
    for (int rate : {7, 12, 30, 60, 144, 500}) {
        FixedStep clock;
        int steps = 0;
        for (int frame = 0; frame < rate * 3; ++frame) {
            steps += clock.advance(1.0 / rate);
        }
        EXPECT_EQ(steps, 180) << rate << " frames per second";
    }
}

TEST(FixedStepTest, BlendIsTheShareOfAStepLeftOver) {
    FixedStep clock;
    EXPECT_EQ(clock.advance(0.025), 1);
    EXPECT_NEAR(clock.blend(), 0.5f, 1e-4f);
    EXPECT_EQ(clock.advance(0.004), 0);
    EXPECT_NEAR(clock.blend(), 0.74f, 1e-4f);
    EXPECT_EQ(clock.advance(-1.0), 0); // a clock running back changes nothing
    EXPECT_NEAR(clock.blend(), 0.74f, 1e-4f);
}

TEST(FixedStepTest, AStallDropsTimeInsteadOfCatchingUp) {
    FixedStep clock;
    EXPECT_EQ(clock.advance(3.0), FixedStep::kMaxStepsPerFrame);
    EXPECT_EQ(clock.advance(1.0 / 60.0), 1); // no backlog from the stall
}

TEST(FixedStepTest, AFrameCountsForAtMostTheStepsItMayRun) {
    EXPECT_EQ(FixedStep::cappedSeconds(0.1), 0.1);
    EXPECT_EQ(FixedStep::cappedSeconds(3.0),
              FixedStep::kMaxStepsPerFrame * FixedStep::kStepSeconds);
}

TEST(FrameRateMeterTest, ShowsTheFramesOfTheLastSecondAndTheirMeanTime) {
    FrameRateMeter meter;
    EXPECT_EQ(meter.framesPerSecond(), 0.0);
    double t = 100.0;
    meter.frame(t);
    for (int frame = 0; frame < 30; ++frame) {
        t += 1.0 / 30.0;
        meter.frame(t);
    }
    EXPECT_NEAR(meter.framesPerSecond(), 30.0, 1e-6);
    EXPECT_NEAR(meter.frameMilliseconds(), 33.333, 1e-3);
    for (int frame = 0; frame < 180; ++frame) { // a whole second at the new rate
        t += 1.0 / 120.0;
        meter.frame(t);
    }
    EXPECT_NEAR(meter.framesPerSecond(), 120.0, 1e-6);
}

TEST(FrameRateMeterTest, BeforeAWholeSecondTheFigureCoversTheTimeSoFar) {
    FrameRateMeter meter;
    meter.frame(0.0);
    meter.frame(0.1);
    EXPECT_NEAR(meter.framesPerSecond(), 10.0, 1e-9);
    meter.frame(0.15);
    EXPECT_NEAR(meter.framesPerSecond(), 2.0 / 0.15, 1e-9);
}

} // namespace
