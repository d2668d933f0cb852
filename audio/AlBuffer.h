#pragma once

#include <AL/al.h>

#include <cstddef>
#include <cstdint>

// Owns one OpenAL buffer holding a mono 16-bit sound, deleted when the object goes (a
// context must be current at both ends, and no source may still use the buffer then).
// Move-only; an empty buffer stands for a sound that could not be loaded and plays nothing.
class AlBuffer {
public:
    AlBuffer() = default;
    // Copies count samples at rate Hz into a new buffer; empty when OpenAL refuses them.
    static AlBuffer upload(const std::int16_t* samples, std::size_t count, int rate);

    ~AlBuffer();
    AlBuffer(AlBuffer&& other) noexcept;
    AlBuffer& operator=(AlBuffer&& other) noexcept;
    AlBuffer(const AlBuffer&) = delete;
    AlBuffer& operator=(const AlBuffer&) = delete;

    ALuint name() const { return buffer; }
    explicit operator bool() const { return buffer != 0; }
    // Playing time at normal pitch, in seconds.
    float seconds() const { return duration; }

private:
    ALuint buffer = 0;
    float duration = 0.0f;
};
