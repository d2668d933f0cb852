#include "audio/AlDevice.h"

#include <utility>

AlDevice AlDevice::openDefault() {
    return AlDevice(alcOpenDevice(nullptr));
}

AlDevice::~AlDevice() {
    if (device != nullptr) {
        alcCloseDevice(device);
    }
}

AlDevice::AlDevice(AlDevice&& other) noexcept : device(std::exchange(other.device, nullptr)) {}

AlDevice& AlDevice::operator=(AlDevice&& other) noexcept {
    std::swap(device, other.device);
    return *this;
}
