#include "audio/AlBuffer.h"

#include <utility>

AlBuffer AlBuffer::upload(const std::int16_t* samples, std::size_t count, int rate) {
    AlBuffer result;
    alGetError(); // only the errors of this upload are of interest
    alGenBuffers(1, &result.buffer);
    if (alGetError() != AL_NO_ERROR) {
        result.buffer = 0;
        return result;
    }
    alBufferData(result.buffer, AL_FORMAT_MONO16, samples,
                 static_cast<ALsizei>(count * sizeof(std::int16_t)), rate);
    if (alGetError() != AL_NO_ERROR) {
        return AlBuffer();
    }
    result.duration = static_cast<float>(count) / static_cast<float>(rate);
    return result;
}

AlBuffer::~AlBuffer() {
    if (buffer != 0) {
        alDeleteBuffers(1, &buffer);
    }
}

AlBuffer::AlBuffer(AlBuffer&& other) noexcept
    : buffer(std::exchange(other.buffer, 0)), duration(std::exchange(other.duration, 0.0f)) {}

AlBuffer& AlBuffer::operator=(AlBuffer&& other) noexcept {
    std::swap(buffer, other.buffer);
    std::swap(duration, other.duration);
    return *this;
}
