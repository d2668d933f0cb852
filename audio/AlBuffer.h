#pragma once

#include "audio/AlHandle.h"

#include <AL/al.h>

#include <cstddef>
#include <cstdint>

namespace al_kind {
struct Buffer {
    using Name = ALuint;
    static void destroy(ALuint buffer) { alDeleteBuffers(1, &buffer); }
};
} // namespace al_kind

// Owns one OpenAL buffer holding a mono 16-bit sound, deleted when the object goes (a
// context must be current at both ends, and no source may still use the buffer then).
// Move-only; an empty buffer stands for a sound that could not be loaded and plays nothing.
class AlBuffer : public AlHandle<al_kind::Buffer> {
public:
    AlBuffer() = default;
    // Copies count samples at rate Hz into a new buffer; empty when OpenAL refuses them.
    static AlBuffer upload(const std::int16_t* samples, std::size_t count, int rate);

    // Playing time at normal pitch, in seconds.
    float seconds() const { return duration; }

private:
    AlBuffer(ALuint buffer, float duration) : AlHandle(buffer), duration(duration) {}

    float duration = 0.0f;
};
