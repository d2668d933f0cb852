#include "audio/AlContext.h"

AlContext AlContext::createCurrent(ALCdevice* device) {
    if (device == nullptr) {
        return AlContext();
    }
    AlContext result(alcCreateContext(device, nullptr));
    if (result && alcMakeContextCurrent(result.name()) != ALC_TRUE) {
        return AlContext();
    }
    return result;
}
