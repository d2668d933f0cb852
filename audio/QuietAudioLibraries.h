#pragma once

// Keeps the audio libraries' own diagnostics off the console while it lives, so that the
// game's console shows only the game's lines ("Sound: ..." among them). Construct it before
// the process's first OpenAL call and keep it until the device is closed.
//
// - OpenAL Soft 1.19 logs errors to standard error by default ("AL lib: (EE) ... Could not
//   open playback device"). It has no call to change that: it reads the level from the
//   environment variable ALSOFT_LOGLEVEL, once, at the first ALC call of the process. Level
//   0 is silent. A level the user set is left alone, so the log stays available for
//   debugging.
// - ALSA prints "ALSA lib ... cannot find card" and the like through one library-wide error
//   handler, which snd_lib_error_set_handler replaces. OpenAL Soft loads libasound.so.2 at run
//   time, which finds the copy this library is linked with, so the handler covers its calls.
//
// Both are process-wide; the destructor puts back what it found. Changing the environment is
// safe only while no other thread reads it, so construct this at start-up.
class QuietAudioLibraries {
public:
    QuietAudioLibraries();
    ~QuietAudioLibraries();
    QuietAudioLibraries(const QuietAudioLibraries&) = delete;
    QuietAudioLibraries& operator=(const QuietAudioLibraries&) = delete;

    // ALSA's snd_lib_error_handler_t, spelled out so that this header needs no ALSA header.
    using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error,
                                      const char* format, ...);

private:
    bool setLogLevel = false;
    AlsaErrorHandler previousAlsaHandler = nullptr;
};
