#include "support/WaveBackend.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {
constexpr double kWindowStep = 0.005; // s between the windows loudestWindow tries

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

std::vector<float> readMonoWave(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<float> mono;
    if (file == nullptr) {
        return mono;
    }
    std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    mono.resize(static_cast<std::size_t>(read));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        for (int c = 0; c < info.channels; ++c) {
            mono[i] += frames[i * info.channels + c] / info.channels;
        }
    }
    return mono;
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
