#pragma once

#include <AL/alc.h>

// Owns one open OpenAL output device and closes it when it goes. Move-only; an empty device
// (no output could be opened) is valid and owns nothing.
class AlDevice {
public:
    AlDevice() = default;
    // Opens the system's default output; empty when there is none.
    static AlDevice openDefault();

    ~AlDevice();
    AlDevice(AlDevice&& other) noexcept;
    AlDevice& operator=(AlDevice&& other) noexcept;
    AlDevice(const AlDevice&) = delete;
    AlDevice& operator=(const AlDevice&) = delete;

    ALCdevice* get() const { return device; }
    explicit operator bool() const { return device != nullptr; }

private:
    explicit AlDevice(ALCdevice* device) : device(device) {}

    ALCdevice* device = nullptr;
};
