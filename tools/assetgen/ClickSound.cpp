#include "Biquad.h"
#include "Oscillator.h"
#include "Sounds.h"
#include "Synth.h"

namespace {
constexpr std::uint32_t kSeed = 281;
constexpr float kLength = 0.08f; // s
constexpr float kFade = 0.02f;   // s
constexpr float kToneHz = 1800.0f;
} // namespace

Waveform makeClickSound() {
    Waveform wave(kLength);
    Biquad snapFilter(Biquad::Shape::HighPass, 4000.0f, 0.707f);
    Oscillator tone;
    Oscillator overtone;
    Oscillator body;
    for (int i = 0; i < wave.size(); ++i) {
        const float t = Waveform::time(i);
        // A bright tick with its octave, over a little low body so it does not sound thin.
        const float tick = tone.sine(kToneHz) * strike(t, 0.0003f, 0.006f) +
                           0.5f * overtone.sine(2.0f * kToneHz) * strike(t, 0.0003f, 0.003f);
        const float thump = body.sine(600.0f) * strike(t, 0.0005f, 0.01f);
        const float snap = snapFilter.process(noise(kSeed, i)) * strike(t, 0.0001f, 0.0008f);
        wave[i] = tick + 0.4f * thump + 0.6f * snap;
    }
    wave.fadeOut(kFade);
    return wave;
}
