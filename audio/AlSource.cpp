#include "audio/AlSource.h"

#include <utility>

AlSource AlSource::create() {
    AlSource result;
    alGetError(); // only the errors of this call are of interest
    alGenSources(1, &result.source);
    if (alGetError() != AL_NO_ERROR) {
        result.source = 0;
    }
    return result;
}

AlSource::~AlSource() {
    if (source != 0) {
        alDeleteSources(1, &source);
    }
}

AlSource::AlSource(AlSource&& other) noexcept : source(std::exchange(other.source, 0)) {}

AlSource& AlSource::operator=(AlSource&& other) noexcept {
    std::swap(source, other.source);
    return *this;
}

bool AlSource::playing() const {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

float AlSource::secondsPlayed() const {
    ALfloat seconds = 0.0f;
    alGetSourcef(source, AL_SEC_OFFSET, &seconds);
    return seconds;
}
