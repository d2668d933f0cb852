#pragma once

#include <string>
#include <vector>

// Sample rate of every generated sound, in Hz. The game's output runs at 44.1 kHz, so the
// sounds play without resampling, and the clicks and metal rings keep their top octave.
inline constexpr int kSampleRate = 44100;

// A mono sound being synthesised, in floating-point samples at kSampleRate. Samples are
// clamped to -1..1 and quantised to 16 bits only when the file is written.
class Waveform {
public:
    // Silence lasting `seconds`, rounded to whole samples.
    explicit Waveform(float seconds);

    int size() const { return static_cast<int>(samples.size()); }
    float& operator[](int i) { return samples[i]; }
    // Time in seconds of sample i from the start.
    static float time(int i) { return static_cast<float>(i) / kSampleRate; }

    // Largest magnitude of any sample.
    float peak() const;
    // Scales the sound so that its peak is `level` (a fraction of full scale).
    void normalise(float level);
    // Ramps the last `seconds` down to zero along a half cosine, so the sound ends without
    // a click however much of its tail is still ringing.
    void fadeOut(float seconds);
    // The last steps of a one-shot: normalised to full scale, saturated with softClip at
    // `drive` and faded out over its last fadeSeconds.
    void finish(float drive, float fadeSeconds);

    // Writes a 16-bit PCM mono WAV file; false when the file cannot be written.
    bool writeWav(const std::string& path) const;

private:
    std::vector<float> samples;
};
