#pragma once

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
// within the bounds of rate, length and file size set in SoundFile.cpp, and not shorter than
// its RIFF header says (libsndfile itself would play what is left of a cut file). Anything else
// gives nothing, after one line on standard error naming the file and what is wrong with it.
std::optional<SoundFile> readSoundFile(const std::string& path);
