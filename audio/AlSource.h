#pragma once

#include "audio/AlHandle.h"

#include <AL/al.h>

namespace al_kind {
struct Source {
    using Name = ALuint;
    static void destroy(ALuint source) { alDeleteSources(1, &source); }
};
} // namespace al_kind

// Owns one OpenAL source, deleted (and so stopped) when the object goes; a context must be
// current at both ends. Move-only; an empty source owns nothing.
class AlSource : public AlHandle<al_kind::Source> {
public:
    // A new source with OpenAL's defaults; empty when OpenAL has no more sources to give.
    static AlSource create();

    bool playing() const;
    // Seconds of its buffer played so far at normal pitch; 0 when stopped.
    float secondsPlayed() const;

private:
    using AlHandle::AlHandle;
};
