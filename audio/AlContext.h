#pragma once

#include <AL/alc.h>

// Owns one OpenAL context, current for the whole process while it lives: every other AL
// call (buffers, sources, listener) acts on it. Destroying it makes no context current
// first. Move-only; an empty context owns nothing. Only one should live at a time.
class AlContext {
public:
    AlContext() = default;
    // Creates a context on device and makes it current; empty when either step fails.
    static AlContext createCurrent(ALCdevice* device);

    ~AlContext();
    AlContext(AlContext&& other) noexcept;
    AlContext& operator=(AlContext&& other) noexcept;
    AlContext(const AlContext&) = delete;
    AlContext& operator=(const AlContext&) = delete;

    explicit operator bool() const { return context != nullptr; }

private:
    explicit AlContext(ALCcontext* context) : context(context) {}

    ALCcontext* context = nullptr;
};
