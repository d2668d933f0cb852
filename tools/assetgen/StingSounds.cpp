#include "Sounds.h"
#include "Synth.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr float kLength = 1.5f; // s, both stings
// Harmonics fade out between these two frequencies, so that none switches on or off with a
// click as vibrato and sag move the pitch.
constexpr float kHarmonicsFadeFromHz = 7000.0f;
constexpr float kHarmonicsEndHz = 9000.0f;
constexpr float kDetuneCents = 4.0f;   // between the two players of every note
constexpr float kVibratoDelay = 0.25f; // s into a note before a held note starts to waver

// One note of a brass section. Pitch in semitones from A4; times in s.
struct Note {
    float start;
    float length;
    float pitch;
    float gain;
};

// How a sting is played: brightness is the number of harmonics that sound strongly at full
// breath; a sag bends every note still sounding down by `sag` semitones over the last
// `sagTime` seconds of the sting.
struct Style {
    float attack;
    float release;
    float brightness;
    float vibratoHz;
    float vibratoDepth; // fraction of the frequency
    float sag;
    float sagTime;
};

// Breath of a note at time t into it: a rise, a small drop to the sustain level, and a
// release that ends at exactly zero when the note ends.
float breath(float t, float length, const Style& style) {
    if (t < 0.0f || t >= length) {
        return 0.0f;
    }
    const float rise = glm::smoothstep(0.0f, style.attack, t);
    const float settle = 0.75f + 0.25f * decay(t - style.attack, 0.08f);
    const float release = std::min(style.release, 0.5f * length);
    const float end = 1.0f - glm::smoothstep(length - release, length, t);
    return rise * (t < style.attack ? 1.0f : settle) * end;
}

// Adds one note played by two slightly detuned players. The tone is a band-limited
// sawtooth whose upper harmonics open up with the breath, as a brass instrument's do.
void addNote(Waveform& wave, const Note& note, const Style& style, std::uint32_t seed) {
    const int first = static_cast<int>(note.start * kSampleRate);
    const int last = std::min(wave.size(), first + static_cast<int>(note.length * kSampleRate));
    for (int player = 0; player < 2; ++player) {
        const float detune = std::exp2((player == 0 ? -1.0f : 1.0f) * kDetuneCents / 1200.0f);
        double phase = hashUnit(seed, player);
        for (int i = first; i < last; ++i) {
            const float t = Waveform::time(i - first);
            const float b = breath(t, note.length, style);
            const float sagged =
                style.sag * glm::smoothstep(kLength - style.sagTime, kLength, Waveform::time(i));
            const float vibrato =
                1.0f + style.vibratoDepth *
                           glm::smoothstep(kVibratoDelay, 2.0f * kVibratoDelay, t) *
                           std::sin(kTwoPi * style.vibratoHz * t);
            const float hz = noteHz(note.pitch - sagged) * detune * vibrato;
            const float open = 1.0f + (style.brightness - 1.0f) * b;
            float tone = 0.0f;
            for (int n = 1; n * hz < kHarmonicsEndHz; ++n) {
                const float taper =
                    1.0f - glm::smoothstep(kHarmonicsFadeFromHz, kHarmonicsEndHz, n * hz);
                tone += std::sin(kTwoPi * static_cast<float>(n * phase)) *
                        std::exp(-(n - 1) / open) * taper / n;
            }
            wave[i] += 0.5f * note.gain * b * tone;
            phase += static_cast<double>(hz) / kSampleRate;
            phase -= std::floor(phase);
        }
    }
}

Waveform playSting(const Note* notes, int count, const Style& style, std::uint32_t seed) {
    Waveform wave(kLength);
    for (int k = 0; k < count; ++k) {
        addNote(wave, notes[k], style, seed + 2 * k);
    }
    return wave;
}

} // namespace

Waveform makeWinSound() {
    // C major: three quick notes up the triad, then the octave held over the full chord.
    constexpr float kC4 = -9.0f, kC5 = 3.0f, kE5 = 7.0f, kG5 = 10.0f, kC6 = 15.0f;
    constexpr float kHeld = 0.36f;
    constexpr Note kNotes[] = {
        {0.00f, 0.12f, kC5, 1.0f},
        {0.12f, 0.12f, kE5, 1.0f},
        {0.24f, 0.12f, kG5, 1.0f},
        {kHeld, kLength - kHeld, kC6, 1.0f},
        {kHeld, kLength - kHeld, kG5, 0.45f},
        {kHeld, kLength - kHeld, kE5, 0.45f},
        {kHeld, kLength - kHeld, kC5, 0.5f},
        {kHeld, kLength - kHeld, kC4, 0.4f},
    };
    // Attack, release, brightness, vibrato rate and depth, no sag.
    constexpr Style kBright{0.015f, 0.45f, 8.0f, 5.5f, 0.004f, 0.0f, 0.0f};
    return playSting(kNotes, static_cast<int>(std::size(kNotes)), kBright, 261);
}

Waveform makeLoseSound() {
    // C minor: down from G to E flat to C, the last held over a low minor chord that sags a
    // semitone as it fades.
    constexpr float kC3 = -21.0f, kEb3 = -18.0f, kG3 = -14.0f, kC4 = -9.0f, kEb4 = -6.0f,
                    kG4 = -2.0f;
    constexpr float kHeld = 0.6f;
    constexpr Note kNotes[] = {
        {0.0f, 0.3f, kG4, 1.0f},
        {0.3f, 0.3f, kEb4, 1.0f},
        {kHeld, kLength - kHeld, kC4, 1.0f},
        {kHeld, kLength - kHeld, kG3, 0.5f},
        {kHeld, kLength - kHeld, kEb3, 0.5f},
        {kHeld, kLength - kHeld, kC3, 0.55f},
    };
    // A softer attack, a darker tone, a slower and wider vibrato, and the sag.
    constexpr Style kDark{0.04f, 0.5f, 3.5f, 4.5f, 0.006f, 1.0f, 0.6f};
    return playSting(kNotes, static_cast<int>(std::size(kNotes)), kDark, 271);
}
