#pragma once

#include "Synth.h"
#include "Waveform.h"

#include <cmath>

// A sine oscillator whose frequency may change every sample without a jump in its output:
// it accumulates phase rather than computing sin(2 pi f t).
class Oscillator {
public:
    // Phase in turns (0..1) at which the first sample is taken.
    explicit Oscillator(double startPhase = 0.0) : phase(startPhase) {}

    // The next sample at `frequency` Hz, in -1..1.
    float sine(float frequency) {
        const float value = std::sin(kTwoPi * static_cast<float>(phase));
        phase += static_cast<double>(frequency) / kSampleRate;
        phase -= std::floor(phase);
        return value;
    }

private:
    double phase;
};
