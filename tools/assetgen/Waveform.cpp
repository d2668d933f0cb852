#include "Waveform.h"

#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace {
constexpr float kFullScale = 32767.0f; // largest 16-bit sample

// Appends little-endian integers, the byte order of every RIFF field.
void putU16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}
void putU32(std::string& out, std::uint32_t value) {
    putU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    putU16(out, static_cast<std::uint16_t>(value >> 16));
}
} // namespace

Waveform::Waveform(float seconds)
    : samples(static_cast<size_t>(std::lround(seconds * kSampleRate)), 0.0f) {}

float Waveform::peak() const {
    float result = 0.0f;
    for (float s : samples) {
        result = std::max(result, std::abs(s));
    }
    return result;
}

void Waveform::normalise(float level) {
    const float current = peak();
    if (current <= 0.0f) {
        return;
    }
    for (float& s : samples) {
        s *= level / current;
    }
}

void Waveform::fadeOut(float seconds) {
    const int length = std::min(size(), static_cast<int>(std::lround(seconds * kSampleRate)));
    for (int k = 0; k < length; ++k) {
        // k counts back from the last sample, which becomes exactly zero.
        samples[size() - 1 - k] *= 0.5f - 0.5f * std::cos(0.5f * kTwoPi * k / length);
    }
}

void Waveform::finish(float drive, float fadeSeconds) {
    normalise(1.0f);
    for (float& s : samples) {
        s = softClip(s, drive);
    }
    fadeOut(fadeSeconds);
}

bool Waveform::writeWav(const std::string& path) const {
    constexpr std::uint16_t kPcm = 1;
    constexpr std::uint16_t kChannels = 1;
    constexpr std::uint16_t kBytesPerSample = 2;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size()) * kBytesPerSample;
    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    putU32(bytes, 36 + dataBytes); // everything after this field
    bytes += "WAVEfmt ";
    putU32(bytes, 16); // size of the format chunk that follows
    putU16(bytes, kPcm);
    putU16(bytes, kChannels);
    putU32(bytes, kSampleRate);
    putU32(bytes, kSampleRate * kChannels * kBytesPerSample); // bytes per second
    putU16(bytes, kChannels * kBytesPerSample);               // bytes per frame
    putU16(bytes, 8 * kBytesPerSample);                       // bits per sample
    bytes += "data";
    putU32(bytes, dataBytes);
    for (float s : samples) {
        const long quantised = std::lround(std::clamp(s, -1.0f, 1.0f) * kFullScale);
        putU16(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(quantised)));
    }
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}
