#include "render/AssetPaths.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// The generated sound set as the game finds it from bin/, read with libsndfile.
namespace {

constexpr int kRate = 44100; // Hz
constexpr double kFullScale = 32768.0;
constexpr double kFilePeak = 0.891;      // -1 dBFS, the level every file is normalised to
constexpr double kPeakTolerance = 0.001; // the 16-bit rounding, with room to spare
constexpr double kMinRms = 0.003;        // -50 dBFS: anything quieter counts as silent
constexpr int kEdgeTolerance = 3;        // 16-bit steps from zero at a one-shot's ends

struct SoundAsset {
    const char* name;
    double minSeconds;
    double maxSeconds;
};
const SoundAsset kEngine = {"engine.wav", 0.9, 1.1};
const SoundAsset kOneShots[] = {
    {"shot.wav", 0.5, 0.8},  {"tank_hit.wav", 0.4, 0.7}, {"wall_hit.wav", 0.4, 0.7},
    {"jump.wav", 0.25, 0.4}, {"landing.wav", 0.25, 0.4}, {"win.wav", 1.2, 1.8},
    {"lose.wav", 1.2, 1.8},  {"click.wav", 0.04, 0.1},
};

// Decodes a file of the set, expecting 16-bit PCM mono WAV at kRate Hz of the given length.
std::vector<std::int16_t> decode(const SoundAsset& asset) {
    SF_INFO info{};
    SNDFILE* file = sf_open((std::string(kSoundDir) + asset.name).c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    if (file == nullptr) {
        return {};
    }
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.samplerate, kRate);
    EXPECT_GE(info.frames, asset.minSeconds * kRate);
    EXPECT_LE(info.frames, asset.maxSeconds * kRate);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(info.frames));
    EXPECT_EQ(sf_readf_short(file, samples.data(), info.frames), info.frames);
    sf_close(file);
    return samples;
}

double peakOf(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (std::int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak / kFullScale;
}

double rmsOf(const std::vector<std::int16_t>& samples) {
    double sum = 0.0;
    for (std::int16_t s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return std::sqrt(sum / std::max<std::size_t>(samples.size(), 1)) / kFullScale;
}

TEST(SoundAssetsTest, EverySoundIsAudibleMonoPcmOfItsLengthAndPeaksAtTheFileLevel) {
    for (const SoundAsset& asset : kOneShots) {
        SCOPED_TRACE(asset.name);
        const std::vector<std::int16_t> samples = decode(asset);
        ASSERT_FALSE(samples.empty());
        EXPECT_GT(rmsOf(samples), kMinRms);
        // Starts and ends at silence: no click when a voice starts or runs out.
        EXPECT_LE(std::abs(samples.front()), kEdgeTolerance);
        EXPECT_LE(std::abs(samples.back()), kEdgeTolerance);
        EXPECT_NEAR(peakOf(samples), kFilePeak, kPeakTolerance);
    }
    const std::vector<std::int16_t> engine = decode(kEngine);
    ASSERT_FALSE(engine.empty());
    EXPECT_GT(rmsOf(engine), kMinRms);
    EXPECT_NEAR(peakOf(engine), kFilePeak, kPeakTolerance);
}

TEST(SoundAssetsTest, EngineLoopsWithoutASeam) {
    const std::vector<std::int16_t> loop = decode(kEngine);
    ASSERT_GT(loop.size(), 2u);
    // Across the wrap the wave moves no more, and bends no more sharply, than it ever does
    // between neighbours inside the loop.
    const auto at = [&](long i) {
        return static_cast<double>(loop[(i + loop.size()) % loop.size()]);
    };
    double largestStep = 0.0;
    double largestBend = 0.0;
    for (long i = 1; i + 1 < static_cast<long>(loop.size()); ++i) {
        largestStep = std::max(largestStep, std::abs(at(i + 1) - at(i)));
        largestBend = std::max(largestBend, std::abs(at(i + 1) - 2.0 * at(i) + at(i - 1)));
    }
    const long end = static_cast<long>(loop.size()) - 1;
    EXPECT_LE(std::abs(at(0) - at(end)), largestStep);
    EXPECT_LE(std::abs(at(0) - 2.0 * at(end) + at(end - 1)), largestBend);
    EXPECT_LE(std::abs(at(1) - 2.0 * at(0) + at(end)), largestBend);
    // No offset: a loop with a DC level thumps when its gain changes.
    double sum = 0.0;
    for (std::int16_t s : loop) {
        sum += s;
    }
    EXPECT_LT(std::abs(sum / loop.size()), 0.01 * peakOf(loop) * kFullScale);
}

} // namespace
