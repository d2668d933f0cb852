#pragma once

// The frame-rate figure the game can show: the frames counted over the last whole second of
// running and the mean frame time in it. Until the first second has passed, the figures cover
// the time since the first frame.
class FrameRateMeter {
public:
    // Counts one frame ending at nowSeconds (any monotonic clock).
    void frame(double nowSeconds);

    double framesPerSecond() const { return rate; }
    double frameMilliseconds() const { return rate > 0.0 ? kMillisecondsPerSecond / rate : 0.0; }

private:
    static constexpr double kMillisecondsPerSecond = 1000.0;
    static constexpr double kWindowSeconds = 1.0;

    bool started = false;
    bool wholeWindowSeen = false;
    double windowStart = 0.0; // seconds
    int framesInWindow = 0;
    double rate = 0.0; // frames per second
};
