#include "audio/AlContext.h"

#include <utility>

AlContext AlContext::createCurrent(ALCdevice* device) {
    if (device == nullptr) {
        return AlContext();
    }
    AlContext result(alcCreateContext(device, nullptr));
    if (result.context != nullptr && alcMakeContextCurrent(result.context) != ALC_TRUE) {
        return AlContext();
    }
    return result;
}

AlContext::~AlContext() {
    if (context != nullptr) {
        if (alcGetCurrentContext() == context) {
            alcMakeContextCurrent(nullptr);
        }
        alcDestroyContext(context);
    }
}

AlContext::AlContext(AlContext&& other) noexcept : context(std::exchange(other.context, nullptr)) {}

AlContext& AlContext::operator=(AlContext&& other) noexcept {
    std::swap(context, other.context);
    return *this;
}
