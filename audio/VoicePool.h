#pragma once

#include "audio/AlSource.h"

#include <vector>

// The sources that play one-shots, all made at start-up, so that starting a sound never
// creates an OpenAL object or touches the heap.
class VoicePool {
public:
    VoicePool() = default;
    // Takes the sources; empty ones (OpenAL ran out) are left out.
    explicit VoicePool(std::vector<AlSource> sources);

    // A stopped source for a one-shot lasting `seconds`: an idle one when there is one,
    // otherwise the one with the least time left to play, whose cut is the least audible (and
    // which spares the long stings over a burst of short shots). nullptr when the pool is
    // empty.
    const AlSource* claim(float seconds);

private:
    struct Voice {
        AlSource source;
        float seconds = 0.0f; // length of what it was last given to play
    };
    std::vector<Voice> voices;
};
