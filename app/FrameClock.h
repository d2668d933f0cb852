#pragma once

// Smoothed frame-rate figure shown by the "FPS: " line; 300 until the first sample.
extern double framesPerSecond;

// Frame timing of the main loop: the frame-rate sample taken every fifth of a second and
// the elapsed time of each frame. Times are seconds since the window library started.
class FrameClock {
public:
    // Frame-rate sample at the start of a frame. A sample is taken at the first frame of each
    // even tenth of a second that follows an odd one: the frames counted since the previous
    // sample enter with weight 5, the previous figure with weight 0.5 (about twice the rate).
    void sampleFrameRate(double nowSeconds);

    // Milliseconds since the previous frame's end mark (since time 0 for the first frame).
    // The difference is taken in double: float milliseconds lose whole-millisecond
    // precision after a few hours of running.
    float elapsedMs(double nowSeconds) const;
    void markTime(double nowSeconds) { previousTime = nowSeconds; }

    void countFrame() { ++frameCount; }

private:
    double previousTime = 0.0;
    int frameCount = 0;
    bool sampleArmed = true;
};
