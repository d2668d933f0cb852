#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A mono sound read whole from its file: 16-bit samples at `rate` Hz.
struct SoundFile {
    std::vector<std::int16_t> samples;
    int rate = 0;
};

// Reads a sound file of the game. Accepted: a RIFF/WAVE file that libsndfile decodes, mono,
// at a rate between kMinSoundRate and kMaxSoundRate, at most kMaxSoundSeconds long and
// kMaxSoundFileBytes large, and not shorter than its RIFF header says (libsndfile itself
// would play what is left of a cut file). Anything else gives nothing, after one line on
// standard error naming the file and what is wrong with it.
std::optional<SoundFile> readSoundFile(const std::string& path);

// Bounds that keep a huge or hostile file from becoming a huge allocation. The game's
// longest sound lasts 1.5 s and takes 130 KB.
inline constexpr std::size_t kMaxSoundFileBytes = 1 << 20;
inline constexpr float kMaxSoundSeconds = 10.0f;
inline constexpr int kMinSoundRate = 8000;  // Hz
inline constexpr int kMaxSoundRate = 96000; // Hz
