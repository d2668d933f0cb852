#pragma once

#include "audio/AlHandle.h"

#include <AL/alc.h>

namespace al_kind {
struct Device {
    using Name = ALCdevice*;
    static void destroy(ALCdevice* device) { alcCloseDevice(device); }
};
} // namespace al_kind

// Owns one open OpenAL output device and closes it when it goes. Move-only; an empty device
// (no output could be opened) is valid and owns nothing.
class AlDevice : public AlHandle<al_kind::Device> {
public:
    // Opens the system's default output; empty when there is none.
    static AlDevice openDefault() { return AlDevice(alcOpenDevice(nullptr)); }

private:
    using AlHandle::AlHandle;
};
