#include "audio/QuietAudioLibraries.h"

#include <alsa/asoundlib.h>

#include <cstdlib>
#include <type_traits>

static_assert(std::is_same_v<QuietAudioLibraries::AlsaErrorHandler, snd_lib_error_handler_t>);

namespace {
constexpr const char* kLogLevelVariable = "ALSOFT_LOGLEVEL";
constexpr const char* kNoLog = "0";

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}
} // namespace

QuietAudioLibraries::QuietAudioLibraries() : previousAlsaHandler(snd_lib_error) {
    if (std::getenv(kLogLevelVariable) == nullptr) {
        setLogLevel = setenv(kLogLevelVariable, kNoLog, 0) == 0;
    }
    snd_lib_error_set_handler(ignoreAlsaError);
}

QuietAudioLibraries::~QuietAudioLibraries() {
    snd_lib_error_set_handler(previousAlsaHandler);
    if (setLogLevel) {
        unsetenv(kLogLevelVariable);
    }
}
