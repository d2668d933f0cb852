#include "audio/AlBuffer.h"

AlBuffer AlBuffer::upload(const std::int16_t* samples, std::size_t count, int rate) {
    ALuint name = 0;
    alGetError(); // only the errors of this upload are of interest
    alGenBuffers(1, &name);
    if (alGetError() != AL_NO_ERROR) {
        return AlBuffer();
    }
    AlBuffer result(name, static_cast<float>(count) / static_cast<float>(rate));
    alBufferData(name, AL_FORMAT_MONO16, samples,
                 static_cast<ALsizei>(count * sizeof(std::int16_t)), rate);
    if (alGetError() != AL_NO_ERROR) {
        return AlBuffer(); // result deletes the buffer
    }
    return result;
}
