#include "Biquad.h"
#include "Oscillator.h"
#include "Sounds.h"
#include "Synth.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// One ringing mode of a struck body: frequency in Hz, relative gain, decay time constant in s.
struct Mode {
    float hz;
    float gain;
    float tau;
};

// Thick steel plate: inharmonic modes, the high ones dying first. The two lowest lie 6 Hz
// apart and beat, the slow wobble of a large plate.
constexpr Mode kArmourModes[] = {
    {523.0f, 1.0f, 0.22f},  {529.0f, 0.6f, 0.20f},    {1187.0f, 0.7f, 0.15f},
    {1719.0f, 0.5f, 0.12f}, {2468.0f, 0.4f, 0.08f},   {3307.0f, 0.3f, 0.06f},
    {4410.0f, 0.2f, 0.04f}, {5830.0f, 0.12f, 0.025f},
};

// Ticks of the running gear as a landed tank settles: their pitch in Hz, their times in s
// after touch-down.
constexpr float kRattleHz = 2200.0f;
constexpr float kRattleTimes[] = {0.018f, 0.041f, 0.066f, 0.108f, 0.150f};

// Falling stones and grit after a shell bursts on a wall.
constexpr int kDebrisGrains = 45;
constexpr float kDebrisStart = 0.03f; // s after the burst
constexpr float kDebrisSpan = 0.47f;  // s over which grains fall, densest at the start
constexpr float kDebrisTau = 0.18f;   // s, how fast the patter fades

// Adds one grain of grit to wave: a few milliseconds of band-passed noise at `start` seconds.
void addGrain(Waveform& wave, std::uint32_t seed, int grain, float start) {
    const float centre = 1200.0f + 3800.0f * hashUnit(seed, grain, 1);
    const float tau = 0.0015f + 0.0035f * hashUnit(seed, grain, 2);
    const float gain = (0.3f + 0.7f * hashUnit(seed, grain, 3)) * decay(start, kDebrisTau);
    Biquad filter(Biquad::Shape::BandPass, centre, 3.0f);
    const int first = static_cast<int>(start * kSampleRate);
    const int last = std::min(wave.size(), first + static_cast<int>(8.0f * tau * kSampleRate));
    for (int i = first; i < last; ++i) {
        const float t = Waveform::time(i - first);
        wave[i] += gain * filter.process(noise(seed + 1, i)) * strike(t, 0.0003f, tau);
    }
}

} // namespace

Waveform makeTankHitSound() {
    constexpr std::uint32_t kSeed = 221;
    Waveform wave(0.6f);
    Biquad impactFilter(Biquad::Shape::BandPass, 3500.0f, 0.8f);
    Biquad burstFilter(Biquad::Shape::LowPass, 1500.0f, 0.707f);
    Oscillator thunk;
    std::vector<Oscillator> modes;
    for (size_t m = 0; m < std::size(kArmourModes); ++m) {
        modes.emplace_back(hashUnit(kSeed, static_cast<std::uint32_t>(m)));
    }
    for (int i = 0; i < wave.size(); ++i) {
        const float t = Waveform::time(i);
        float ring = 0.0f;
        for (size_t m = 0; m < modes.size(); ++m) {
            const Mode& mode = kArmourModes[m];
            ring += mode.gain * modes[m].sine(mode.hz) * strike(t, 0.0005f, mode.tau);
        }
        const float impact = impactFilter.process(noise(kSeed + 1, i)) * strike(t, 0.0002f, 0.002f);
        const float body = thunk.sine(glide(t, 130.0f, 90.0f, 0.03f)) * strike(t, 0.002f, 0.07f);
        const float burst = burstFilter.process(noise(kSeed + 2, i)) * strike(t, 0.001f, 0.03f);
        wave[i] = 0.8f * impact + 0.3f * ring + 0.6f * body + 0.5f * burst;
    }
    wave.finish(1.2f, 0.1f);
    return wave;
}

Waveform makeWallHitSound() {
    constexpr std::uint32_t kSeed = 231;
    Waveform wave(0.6f);
    Biquad crackFilter(Biquad::Shape::LowPass, 2500.0f, 0.707f);
    Biquad thudFilter(Biquad::Shape::LowPass, 700.0f, 0.707f);
    Biquad stoneFilter(Biquad::Shape::BandPass, 250.0f, 1.5f); // the wall's own dull note
    Biquad crumbleFilter(Biquad::Shape::LowPass, 1200.0f, 0.707f);
    Oscillator thud;
    for (int i = 0; i < wave.size(); ++i) {
        const float t = Waveform::time(i);
        const float crack = crackFilter.process(noise(kSeed, i)) * strike(t, 0.0003f, 0.004f);
        const float tone = thud.sine(glide(t, 90.0f, 55.0f, 0.05f)) * strike(t, 0.003f, 0.09f);
        const float dust = thudFilter.process(noise(kSeed + 1, i)) * strike(t, 0.002f, 0.06f);
        const float stone = stoneFilter.process(dust);
        const float crumble =
            crumbleFilter.process(noise(kSeed + 2, i)) * strike(t - 0.02f, 0.02f, 0.15f);
        wave[i] = 0.8f * crack + 0.4f * tone + 2.0f * dust + 2.0f * stone + 0.5f * crumble;
    }
    for (int g = 0; g < kDebrisGrains; ++g) {
        const float u = hashUnit(kSeed + 3, g);
        addGrain(wave, kSeed + 4, g, kDebrisStart + kDebrisSpan * u * u);
    }
    wave.finish(1.5f, 0.1f);
    return wave;
}

Waveform makeLandingSound() {
    constexpr std::uint32_t kSeed = 241;
    constexpr float kBounce = 0.13f; // s until the hull settles back onto its tracks
    Waveform wave(0.35f);
    Biquad impactFilter(Biquad::Shape::LowPass, 900.0f, 0.707f);
    Biquad hullFilter(Biquad::Shape::BandPass, 160.0f, 2.0f); // the hull booms as it lands
    Biquad rattleFilter(Biquad::Shape::BandPass, kRattleHz, 5.0f);
    Oscillator thump;
    Oscillator settle;
    for (int i = 0; i < wave.size(); ++i) {
        const float t = Waveform::time(i);
        const float body = thump.sine(glide(t, 130.0f, 55.0f, 0.03f)) * strike(t, 0.0015f, 0.08f);
        const float impact = impactFilter.process(noise(kSeed, i)) * strike(t, 0.001f, 0.025f);
        const float hull = hullFilter.process(impact);
        const float bounce = settle.sine(glide(t - kBounce, 60.0f, 40.0f, 0.04f)) *
                             strike(t - kBounce, 0.003f, 0.05f);
        float ticks = 0.0f;
        for (float at : kRattleTimes) {
            ticks += strike(t - at, 0.0002f, 0.004f) * decay(at, 0.1f);
        }
        const float rattle = rattleFilter.process(noise(kSeed + 1, i) * ticks);
        wave[i] = 1.0f * body + 1.5f * impact + 2.5f * hull + 0.3f * bounce + 1.5f * rattle;
    }
    wave.finish(2.5f, 0.06f); // overtones of the thump, for small speakers
    return wave;
}
