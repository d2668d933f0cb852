#pragma once

#include "support/TempFiles.h"

#include <string>
#include <vector>

// OpenAL Soft's wave writer as the audio device of the test program: the mix goes to a WAV
// file in real time instead of to a sound card, here or on a machine that has one. OpenAL
// Soft reads its configuration once per process, when the first device opens, so every test
// of the program shares this one; get() sets it up before any device exists.
class WaveBackend {
public:
    static WaveBackend& get();

    // Whether the next device can open: the writer fails to open, and OpenAL reports no
    // device, while the recording's directory is missing. Enabling removes the last recording.
    void enableDevice(bool enabled);
    // The last device's recording, its channels averaged, at recordingRate Hz; complete once
    // the device is closed.
    std::vector<float> recording() const;
    // The same recording as the largest magnitude of each frame's channels: its peakLevel is
    // the true sample peak, which no channel may reach full scale at.
    std::vector<float> recordingMagnitudes() const;

private:
    WaveBackend();

    TempDir dir;
    std::string recordingDir;
};

inline constexpr int kRecordingRate = 44100; // OpenAL Soft's default output rate, Hz

// A WAV file's samples, its channels averaged; empty when it cannot be read.
std::vector<float> readMonoWave(const std::string& path);
// A WAV file's frames, each as the largest magnitude among its channels; empty when it cannot be
// read.
std::vector<float> readWaveMagnitudes(const std::string& path);

// Root mean square of `seconds` of samples from `start` seconds on (clipped to the recording).
double rmsLevel(const std::vector<float>& samples, double start, double seconds);
// Largest rmsLevel of a window of `window` seconds starting between `from` and `to`.
double loudestWindow(const std::vector<float>& samples, double from, double to, double window);
// Largest magnitude of the samples from `start` seconds for `seconds`.
double peakLevel(const std::vector<float>& samples, double start, double seconds);
