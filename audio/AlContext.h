#pragma once

#include "audio/AlHandle.h"

#include <AL/alc.h>

namespace al_kind {
struct Context {
    using Name = ALCcontext*;
    static void destroy(ALCcontext* context) {
        if (alcGetCurrentContext() == context) {
            alcMakeContextCurrent(nullptr);
        }
        alcDestroyContext(context);
    }
};
} // namespace al_kind

// Owns one OpenAL context, current for the whole process while it lives: every other AL
// call (buffers, sources, listener) acts on it. Destroying it makes no context current
// first. Move-only; an empty context owns nothing. Only one should live at a time.
class AlContext : public AlHandle<al_kind::Context> {
public:
    // Creates a context on device with the given attributes (a zero-ended list of name and
    // value pairs, or nullptr for the device's defaults) and makes it current; empty when
    // either step fails.
    static AlContext createCurrent(ALCdevice* device, const ALCint* attributes);

private:
    using AlHandle::AlHandle;
};
