// Prints the loudness of a recording of the game, for the end-to-end sound test to read: one
// line per 100-ms window, windows 10 ms apart, "START_SECONDS RMS PEAK SAMPLE_PEAK". RMS and
// PEAK are of the channels averaged; SAMPLE_PEAK is the largest magnitude of any one channel's
// sample, 1 at full scale. The recording is OpenAL Soft's wave writer's, at kRecordingRate.
#include "support/WaveBackend.h"

#include <cstdio>
#include <vector>

namespace {
constexpr double kWindow = 0.1; // s
constexpr double kHop = 0.01;   // s
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RECORDING.wav\n", argv[0]);
        return 2;
    }
    const std::vector<float> samples = readMonoWave(argv[1]);
    const std::vector<float> magnitudes = readWaveMagnitudes(argv[1]);
    if (samples.empty()) {
        std::fprintf(stderr, "%s: no samples\n", argv[1]);
        return 1;
    }
    const double seconds = static_cast<double>(samples.size()) / kRecordingRate;
    for (int i = 0; i * kHop + kWindow <= seconds; ++i) {
        const double start = i * kHop;
        std::printf("%.2f %.6f %.6f %.6f\n", start, rmsLevel(samples, start, kWindow),
                    peakLevel(samples, start, kWindow), peakLevel(magnitudes, start, kWindow));
    }
    return 0;
}
