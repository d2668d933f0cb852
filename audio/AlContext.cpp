#include "audio/AlContext.h"

AlContext AlContext::createCurrent(ALCdevice* device, const ALCint* attributes) {
    if (device == nullptr) {
        return AlContext();
    }
    AlContext result(alcCreateContext(device, attributes));
    if (result && alcMakeContextCurrent(result.name()) != ALC_TRUE) {
        return AlContext();
    }
    return result;
}
