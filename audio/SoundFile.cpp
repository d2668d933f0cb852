#include "audio/SoundFile.h"

#include "assets/BoundedFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

namespace {

constexpr std::size_t kRiffHeaderBytes = 12; // "RIFF", size of the rest, "WAVE"

// The file's bytes, handed to libsndfile through its virtual I/O so that the file is read
// once, within the size bound, and judged on exactly what was read.
struct MemoryFile {
    const std::string& bytes;
    sf_count_t position = 0;
};

MemoryFile& memory(void* data) {
    return *static_cast<MemoryFile*>(data);
}

sf_count_t memoryLength(void* data) {
    return static_cast<sf_count_t>(memory(data).bytes.size());
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* data) {
    MemoryFile& file = memory(data);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? file.position
                                                 : memoryLength(data);
    file.position = std::clamp<sf_count_t>(base + offset, 0, memoryLength(data));
    return file.position;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* data) {
    MemoryFile& file = memory(data);
    const sf_count_t available = std::min(count, memoryLength(data) - file.position);
    std::memcpy(destination, file.bytes.data() + file.position, static_cast<size_t>(available));
    file.position += available;
    return available;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) {
    return 0; // read only
}

sf_count_t memoryTell(void* data) {
    return memory(data).position;
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

std::uint32_t littleEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// What keeps the file from being read, if anything.
const char* describe(BoundedRead read) {
    switch (read) {
    case BoundedRead::Ok:
        return nullptr;
    case BoundedRead::Missing:
        return "missing";
    case BoundedRead::TooLarge:
        return "too large";
    case BoundedRead::Unreadable:
        break;
    }
    return "unreadable";
}

// What is wrong with the file's RIFF header, if anything.
const char* checkRiff(const std::string& bytes) {
    if (bytes.empty()) {
        return "empty";
    }
    if (bytes.size() < kRiffHeaderBytes || bytes.compare(0, 4, "RIFF") != 0 ||
        bytes.compare(8, 4, "WAVE") != 0) {
        return "not a WAV file";
    }
    // The RIFF size counts every byte after its own field; trailing bytes are tolerated.
    if (bytes.size() - 8 < littleEndian32(bytes, 4)) {
        return "cut short";
    }
    return nullptr;
}

std::optional<SoundFile> refuse(const std::string& path, const char* reason) {
    std::cerr << "Sound: cannot load " << path << ": " << reason << std::endl;
    return std::nullopt;
}

// Bounds that keep a huge or hostile file from becoming a huge allocation. The game's longest
// sound lasts 1.5 s and takes 130 KB.
constexpr std::size_t kMaxSoundFileBytes = 1 << 20;
constexpr float kMaxSoundSeconds = 10.0f;
constexpr int kMinSoundRate = 8000;  // Hz
constexpr int kMaxSoundRate = 96000; // Hz

} // namespace

std::optional<SoundFile> readSoundFile(const std::string& path) {
    std::string bytes;
    if (const char* problem = describe(readBoundedFile(path, kMaxSoundFileBytes, bytes))) {
        return refuse(path, problem);
    }
    if (const char* problem = checkRiff(bytes)) {
        return refuse(path, problem);
    }
    MemoryFile memoryFile{bytes};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, SndfileCloser> file(
        sf_open_virtual(&io, SFM_READ, &info, &memoryFile));
    if (!file) {
        return refuse(path, "not a WAV file libsndfile can decode");
    }
    if (info.channels != 1) {
        return refuse(path, "not mono");
    }
    if (info.samplerate < kMinSoundRate || info.samplerate > kMaxSoundRate) {
        return refuse(path, "sample rate out of range");
    }
    if (info.frames <= 0) {
        return refuse(path, "no samples");
    }
    if (info.frames > static_cast<sf_count_t>(kMaxSoundSeconds * info.samplerate)) {
        return refuse(path, "too long");
    }
    SoundFile sound;
    sound.rate = info.samplerate;
    sound.samples.resize(static_cast<std::size_t>(info.frames));
    if (sf_readf_short(file.get(), sound.samples.data(), info.frames) != info.frames) {
        return refuse(path, "samples cannot be decoded");
    }
    return sound;
}
