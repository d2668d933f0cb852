#pragma once

// The game loop's clock: the simulation advances in steps of exactly kStepSeconds whatever the
// frame rate. Each frame adds its real duration and runs as many steps as have become due; the
// rest carries over, and blend() tells the renderer how far real time has got towards the next
// step. A frame that would need more than kMaxStepsPerFrame steps (a stall: loading, a debugger,
// a swapped-out process) runs that many and drops the rest of the time instead of trying to
// catch up, which would make every following frame slower still.
class FixedStep {
public:
    static constexpr double kStepSeconds = 1.0 / 60.0;
    static constexpr int kMaxStepsPerFrame = 15;

    // Adds one frame's duration in seconds (negative counts as 0); returns the steps now due.
    int advance(double frameSeconds);
    // Share of a step that real time has run past the last step, in [0, 1).
    float blend() const;
    // A frame's duration cut to the kMaxStepsPerFrame steps it may run at most: the real time
    // a stalled frame still counts for, beyond the steps.
    static double cappedSeconds(double frameSeconds);

private:
    double pending = 0.0; // seconds of real time not yet simulated
};
