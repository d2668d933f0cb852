#pragma once

// A second-order filter section (the audio EQ cookbook's low-pass, high-pass and band-pass),
// run sample by sample. Retuning keeps the filter's memory, so a sweep has no steps.
class Biquad {
public:
    enum class Shape { LowPass, HighPass, BandPass };

    // frequency in Hz (corner, or centre of the band-pass, whose peak gain is 1); q is the
    // resonance: 0.707 is flat, higher rings at the frequency.
    Biquad(Shape shape, float frequency, float q);

    void tune(float frequency, float q);
    float process(float input);

private:
    Shape shape;
    // Coefficients, normalised so that a0 is 1, and the last two inputs and outputs. Double
    // precision keeps low corners stable at 44.1 kHz.
    double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
};
