#include "audio/AlSource.h"

AlSource AlSource::create() {
    ALuint source = 0;
    alGetError(); // only the errors of this call are of interest
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        return AlSource();
    }
    return AlSource(source);
}

bool AlSource::playing() const {
    ALint state = AL_STOPPED;
    alGetSourcei(name(), AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

float AlSource::secondsPlayed() const {
    ALfloat seconds = 0.0f;
    alGetSourcef(name(), AL_SEC_OFFSET, &seconds);
    return seconds;
}
