#include "Biquad.h"
#include "Sounds.h"
#include "Synth.h"

#include <glm/glm.hpp>

#include <cmath>

namespace {
constexpr std::uint32_t kSeed = 251;
constexpr float kLength = 0.35f; // s
constexpr float kSwell = 0.06f;  // s for the thrust to build up

// The whoosh: band-passed noise whose centre rises as the tank leaves the ground.
constexpr float kWhooshFromHz = 300.0f;
constexpr float kWhooshToHz = 2500.0f;
constexpr float kWhooshQ = 2.5f;
constexpr float kRumbleCornerHz = 150.0f;

// Loudness over the sound: a smooth swell, then a fall to silence at the end.
float envelope(float t) {
    const float rise = glm::smoothstep(0.0f, kSwell, t);
    const float fall = std::pow(1.0f - glm::smoothstep(kSwell, kLength, t), 1.5f);
    return rise * fall;
}
} // namespace

Waveform makeJumpSound() {
    Waveform wave(kLength);
    Biquad whoosh(Biquad::Shape::BandPass, kWhooshFromHz, kWhooshQ);
    Biquad rumble(Biquad::Shape::LowPass, kRumbleCornerHz, 0.9f);
    for (int i = 0; i < wave.size(); ++i) {
        const float t = Waveform::time(i);
        const float sweep = t / kLength;
        whoosh.tune(kWhooshFromHz * std::pow(kWhooshToHz / kWhooshFromHz, sweep), kWhooshQ);
        const float air = whoosh.process(noise(kSeed, i));
        const float thrust = rumble.process(noise(kSeed + 1, i));
        wave[i] = envelope(t) * (2.0f * air + 1.0f * thrust * (1.0f - 0.6f * sweep));
    }
    return wave;
}
