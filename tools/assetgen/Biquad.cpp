#include "Biquad.h"

#include "Waveform.h"

#include <algorithm>
#include <cmath>

Biquad::Biquad(Shape shape, float frequency, float q) : shape(shape) {
    tune(frequency, q);
}

void Biquad::tune(float frequency, float q) {
    constexpr double kPi = 3.14159265358979;
    constexpr double kHighest = 0.49 * kSampleRate; // just below Nyquist
    const double w = 2.0 * kPi * std::clamp<double>(frequency, 1.0, kHighest) / kSampleRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a0 = 1.0 + alpha;
    switch (shape) {
    case Shape::LowPass:
        b0 = (1.0 - c) / 2.0;
        b1 = 1.0 - c;
        b2 = b0;
        break;
    case Shape::HighPass:
        b0 = (1.0 + c) / 2.0;
        b1 = -(1.0 + c);
        b2 = b0;
        break;
    case Shape::BandPass:
        b0 = alpha;
        b1 = 0.0;
        b2 = -alpha;
        break;
    }
    b0 /= a0;
    b1 /= a0;
    b2 /= a0;
    a1 = -2.0 * c / a0;
    a2 = (1.0 - alpha) / a0;
}

float Biquad::process(float input) {
    const double output = b0 * input + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = input;
    y2 = y1;
    y1 = output;
    return static_cast<float>(output);
}
