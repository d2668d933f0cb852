#include "Biquad.h"
#include "Oscillator.h"
#include "Sounds.h"
#include "Synth.h"

#include <vector>

// Times in s, frequencies in Hz.
namespace {
constexpr std::uint32_t kSeed = 211;
constexpr float kLength = 0.75f;
constexpr float kFade = 0.08f; // at the end

// The muzzle crack: a bright burst of a few milliseconds.
constexpr float kCrackTau = 0.0015f;
constexpr float kCrackCornerHz = 1500.0f;
// The boom: a low tone that drops in pitch as the blast expands.
constexpr float kBoomFromHz = 140.0f;
constexpr float kBoomToHz = 55.0f;
constexpr float kBoomGlideTau = 0.06f;
constexpr float kBoomTau = 0.16f;
// The blast's body: noise whose brightness falls from kBlastFromHz to kBlastToHz.
constexpr float kBlastFromHz = 4000.0f;
constexpr float kBlastToHz = 500.0f;
constexpr float kBlastGlideTau = 0.07f;
constexpr float kBlastTau = 0.09f;
// The thump felt in the chest: the blast through a low resonance.
constexpr float kChestHz = 180.0f;
// The tail: a dark rumble and one echo off the arena walls.
constexpr float kTailCornerHz = 500.0f;
constexpr float kTailTau = 0.22f;
constexpr float kTailDelay = 0.03f;
constexpr float kEchoDelay = 0.095f;
constexpr float kEchoGain = 0.25f;
} // namespace

Waveform makeShotSound() {
    Waveform wave(kLength);
    Biquad crackFilter(Biquad::Shape::HighPass, kCrackCornerHz, 0.707f);
    Biquad blastFilter(Biquad::Shape::LowPass, kBlastFromHz, 0.9f);
    Biquad chestFilter(Biquad::Shape::BandPass, kChestHz, 1.5f);
    Biquad tailFilter(Biquad::Shape::LowPass, kTailCornerHz, 0.707f);
    Oscillator boom;
    const int echoDelay = static_cast<int>(kEchoDelay * kSampleRate); // samples
    std::vector<float> blast(wave.size(), 0.0f);
    for (int i = 0; i < wave.size(); ++i) {
        const float t = Waveform::time(i);
        const float crack = crackFilter.process(noise(kSeed, i)) * strike(t, 0.0003f, kCrackTau);
        const float tone = boom.sine(glide(t, kBoomFromHz, kBoomToHz, kBoomGlideTau)) *
                           strike(t, 0.002f, kBoomTau);
        blastFilter.tune(glide(t, kBlastFromHz, kBlastToHz, kBlastGlideTau), 0.9f);
        blast[i] = blastFilter.process(noise(kSeed + 1, i)) * strike(t, 0.001f, kBlastTau);
        const float chest = chestFilter.process(blast[i]);
        const float echo = i >= echoDelay ? kEchoGain * blast[i - echoDelay] : 0.0f;
        const float tail =
            tailFilter.process(noise(kSeed + 2, i)) * strike(t - kTailDelay, 0.02f, kTailTau);
        wave[i] = 1.0f * crack + 0.5f * tone + 1.6f * blast[i] + 0.9f * chest + echo + 0.5f * tail;
    }
    wave.finish(2.5f, kFade); // punch: the peaks of crack and boom press together
    return wave;
}
