#include "audio/VoicePool.h"

#include <utility>

VoicePool::VoicePool(std::vector<AlSource> sources) {
    voices.reserve(sources.size());
    for (AlSource& source : sources) {
        if (source) {
            voices.push_back(Voice{std::move(source), 0.0f});
        }
    }
}

const AlSource* VoicePool::claim(float seconds) {
    Voice* chosen = nullptr;
    float leastLeft = 0.0f;
    for (Voice& voice : voices) {
        if (!voice.source.playing()) {
            chosen = &voice;
            break;
        }
        const float left = voice.seconds - voice.source.secondsPlayed();
        if (chosen == nullptr || left < leastLeft) {
            chosen = &voice;
            leastLeft = left;
        }
    }
    if (chosen == nullptr) {
        return nullptr;
    }
    alSourceStop(chosen->source.name());
    chosen->seconds = seconds;
    return &chosen->source;
}
