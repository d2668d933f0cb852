#pragma once

#include <AL/al.h>

// Owns one OpenAL source, deleted (and so stopped) when the object goes; a context must be
// current at both ends. Move-only; an empty source owns nothing.
class AlSource {
public:
    AlSource() = default;
    // A new source with OpenAL's defaults; empty when OpenAL has no more sources to give.
    static AlSource create();

    ~AlSource();
    AlSource(AlSource&& other) noexcept;
    AlSource& operator=(AlSource&& other) noexcept;
    AlSource(const AlSource&) = delete;
    AlSource& operator=(const AlSource&) = delete;

    ALuint name() const { return source; }
    explicit operator bool() const { return source != 0; }

    bool playing() const;
    // Seconds of its buffer played so far at normal pitch; 0 when stopped.
    float secondsPlayed() const;

private:
    ALuint source = 0;
};
