#include "Biquad.h"
#include "Oscillator.h"
#include "Sounds.h"
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr std::uint32_t kSeed = 201;

// A six-cylinder four-stroke diesel at 720 rpm: six engine cycles (two turns each) a second,
// 36 firings a second, exactly 1225 samples apart. Whole cycles fill the one-second loop, so
// the firing pattern, and every lope and unevenness in it, repeats seamlessly.
constexpr float kLoopSeconds = 1.0f;
constexpr int kLoop = static_cast<int>(kLoopSeconds * kSampleRate); // samples
constexpr int kCylinders = 6;
constexpr int kFiringsPerLoop = 36;
constexpr int kFiringSpacing = kLoop / kFiringsPerLoop; // samples
static_assert(kFiringSpacing * kFiringsPerLoop == kLoop, "firings must fill the loop evenly");

constexpr float kJitter = 0.0006f;    // s, the most a firing strays from its slot
constexpr float kPulseRise = 0.0025f; // s, exhaust pressure bump: rise time of its peak
constexpr float kPuffTau = 0.015f;    // s, decay of the gas noise of each firing
constexpr float kKnockTau = 0.0012f;  // s, decay of the injector knock (diesel clatter)
constexpr float kFiringReach = 0.05f; // s after a firing past which its sound is negligible
constexpr float kWhineHz = 660.0f;    // gearbox whine; whole cycles per loop
constexpr float kDcCornerHz = 30.0f;  // below the firing rate: only removes the offset

// Modulo for negative firing indices, so firing k and k + 36 are the same firing.
int wrap(int k, int n) {
    return ((k % n) + n) % n;
}

struct Firing {
    int start;      // sample
    float strength; // relative to the average firing
};

Firing firing(int k) {
    const int inLoop = wrap(k, kFiringsPerLoop);
    const float jitter = (2.0f * hashUnit(kSeed, inLoop, 1) - 1.0f) * kJitter * kSampleRate;
    // Each cylinder has its own strength (the lope of an idling diesel), each firing a little
    // variation on top.
    const float cylinder = 0.6f + 0.4f * hashUnit(kSeed, wrap(k, kCylinders), 2);
    const float variation = 0.85f + 0.3f * hashUnit(kSeed, inLoop, 3);
    return {k * kFiringSpacing + static_cast<int>(std::lround(jitter)), cylinder * variation};
}
} // namespace

Waveform makeEngineSound() {
    // Two loops are synthesised and the second is kept: by then every filter has forgotten
    // its silent start and rings exactly as it does when the loop comes round again.
    Waveform twoLoops(2.0f * kLoopSeconds);
    const int reach = static_cast<int>(kFiringReach * kSampleRate);
    std::vector<float> pulses(twoLoops.size(), 0.0f);
    std::vector<float> puffs(twoLoops.size(), 0.0f);
    std::vector<float> knocks(twoLoops.size(), 0.0f);
    for (int k = -1; k <= 2 * kFiringsPerLoop; ++k) {
        const Firing f = firing(k);
        for (int i = std::max(f.start, 0); i < std::min(f.start + reach, twoLoops.size()); ++i) {
            const float t = Waveform::time(i - f.start);
            const float x = t / kPulseRise;
            const int n = wrap(i, kLoop); // noise repeats with the loop
            pulses[i] += f.strength * x * std::exp(1.0f - x);
            puffs[i] += f.strength * noise(kSeed + 1, n) * strike(t, 0.001f, kPuffTau);
            knocks[i] += f.strength * noise(kSeed + 2, n) * strike(t, 0.0002f, kKnockTau);
        }
    }

    // The exhaust: pipe resonances struck by each pressure bump, and the gas rushing out.
    Biquad pipe(Biquad::Shape::BandPass, 120.0f, 1.2f);
    Biquad muffler(Biquad::Shape::BandPass, 310.0f, 2.5f);
    Biquad edge(Biquad::Shape::LowPass, 1500.0f, 0.7f);
    Biquad growl(Biquad::Shape::BandPass, 600.0f, 2.0f);
    Biquad gas(Biquad::Shape::LowPass, 1200.0f, 0.7f);
    // The block: injector clatter and a low rumble through the hull.
    Biquad clatter(Biquad::Shape::BandPass, 2800.0f, 3.0f);
    Biquad rumble(Biquad::Shape::LowPass, 90.0f, 0.9f);
    Biquad dcBlock(Biquad::Shape::HighPass, kDcCornerHz, 0.707f);
    Oscillator whine;
    for (int i = 0; i < twoLoops.size(); ++i) {
        const float exhaust = 0.8f * pipe.process(pulses[i]) + 1.2f * muffler.process(pulses[i]) +
                              0.6f * growl.process(pulses[i]) + 0.3f * edge.process(pulses[i]) +
                              0.8f * gas.process(puffs[i]);
        const float block = 0.25f * clatter.process(knocks[i]) +
                            0.3f * rumble.process(noise(kSeed + 3, wrap(i, kLoop))) +
                            0.02f * whine.sine(kWhineHz);
        twoLoops[i] = dcBlock.process(exhaust + block);
    }
    twoLoops.normalise(1.0f);

    Waveform loop(kLoopSeconds);
    for (int i = 0; i < loop.size(); ++i) {
        // A little saturation: the roughness of a big engine working.
        loop[i] = softClip(twoLoops[kLoop + i], 1.2f);
    }
    return loop;
}
