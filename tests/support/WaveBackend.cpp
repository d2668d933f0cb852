#include "support/WaveBackend.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {
constexpr double kWindowStep = 0.005; // s between the windows loudestWindow tries

// A WAV file's frames, each made into one value by combine(first sample, channels); empty when
// the file cannot be read.
template <typename Combine>
std::vector<float> readFrames(const std::string& path, Combine combine) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> result;
    if (file == nullptr) {
        return result;
    }
    std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    result.resize(static_cast<std::size_t>(read));
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = combine(&frames[i * info.channels], info.channels);
    }
    return result;
}

// Sample index of a time in the recording, clipped to its length.
std::size_t at(const std::vector<float>& samples, double seconds) {
    const double index = std::max(0.0, seconds * kRecordingRate);
    return std::min(samples.size(), static_cast<std::size_t>(index));
}
} // namespace

WaveBackend& WaveBackend::get() {
    static WaveBackend backend;
    return backend;
}

WaveBackend::WaveBackend() : recordingDir(dir.path() + "/recording") {
    // The rate is set in case a user's own configuration, which OpenAL Soft reads too, differs.
    dir.write("alsoft.conf", "[general]\nfrequency = " + std::to_string(kRecordingRate) +
                                 "\n[wave]\nfile = " + recordingDir + "/out.wav\n");
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", (dir.path() + "/alsoft.conf").c_str(), 1);
    unsetenv("ALSOFT_LOGLEVEL"); // the tests expect the game's own console, not a debug log
}

void WaveBackend::enableDevice(bool enabled) {
    std::error_code ignored;
    std::filesystem::remove_all(recordingDir, ignored);
    if (enabled) {
        std::filesystem::create_directory(recordingDir, ignored);
    }
}

std::vector<float> WaveBackend::recording() const {
    return readMonoWave(recordingDir + "/out.wav");
}

std::vector<float> WaveBackend::recordingMagnitudes() const {
    return readWaveMagnitudes(recordingDir + "/out.wav");
}

std::vector<float> readMonoWave(const std::string& path) {
    return readFrames(path, [](const float* frame, int channels) {
        float sum = 0.0f;
        for (int c = 0; c < channels; ++c) {
            sum += frame[c] / channels;
        }
        return sum;
    });
}

std::vector<float> readWaveMagnitudes(const std::string& path) {
    return readFrames(path, [](const float* frame, int channels) {
        float largest = 0.0f;
        for (int c = 0; c < channels; ++c) {
            largest = std::max(largest, std::abs(frame[c]));
        }
        return largest;
    });
}

double rmsLevel(const std::vector<float>& samples, double start, double seconds) {
    const std::size_t first = at(samples, start);
    const std::size_t last = at(samples, start + seconds);
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        sum += samples[i] * samples[i];
    }
    return last > first ? std::sqrt(sum / (last - first)) : 0.0;
}

double loudestWindow(const std::vector<float>& samples, double from, double to, double window) {
    double loudest = 0.0;
    const double last = std::min(to, static_cast<double>(samples.size()) / kRecordingRate);
    for (double start = from; start <= last; start += kWindowStep) {
        loudest = std::max(loudest, rmsLevel(samples, start, window));
    }
    return loudest;
}

double peakLevel(const std::vector<float>& samples, double start, double seconds) {
    double peak = 0.0;
    for (std::size_t i = at(samples, start); i < at(samples, start + seconds); ++i) {
        peak = std::max(peak, static_cast<double>(std::abs(samples[i])));
    }
    return peak;
}
