#pragma once

#include "Hash.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// Building blocks of the sound synthesiser: noise, envelopes and shaping. Times are in
// seconds from the start of the event they shape; every envelope is 0 before it.

inline constexpr float kTwoPi = 6.28318531f;

// White noise in -1..1, the same for the same seed and sample index in every build.
inline float noise(std::uint32_t seed, int sample) {
    return 2.0f * hashUnit(seed, static_cast<std::uint32_t>(sample)) - 1.0f;
}

// Exponential decay with time constant tau: 1 at t = 0, 1/e at t = tau.
inline float decay(float t, float tau) {
    return t < 0.0f ? 0.0f : std::exp(-t / tau);
}

// A struck envelope: a half-cosine rise over `rise` seconds, then an exponential decay with
// time constant tau. Starting from zero keeps the onset free of a click however sharp it is.
inline float strike(float t, float rise, float tau) {
    if (t < 0.0f) {
        return 0.0f;
    }
    const float onset = t < rise ? 0.5f - 0.5f * std::cos(0.5f * kTwoPi * t / rise) : 1.0f;
    return onset * decay(t - rise, tau);
}

// A frequency that glides exponentially from `from` to `to` with time constant tau.
inline float glide(float t, float from, float to, float tau) {
    return to + (from - to) * decay(std::max(t, 0.0f), tau);
}

// Saturation that rounds peaks off like an overdriven amplifier; 1 maps to 1.
inline float softClip(float x, float drive) {
    return std::tanh(drive * x) / std::tanh(drive);
}

// Frequency in Hz of a note given in semitones from A4 (440 Hz).
inline float noteHz(float semitonesFromA4) {
    return 440.0f * std::exp2(semitonesFromA4 / 12.0f);
}
