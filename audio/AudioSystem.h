#pragma once

#include "audio/AlBuffer.h"
#include "audio/AlContext.h"
#include "audio/AlDevice.h"
#include "audio/AlSource.h"
#include "audio/QuietAudioLibraries.h"
#include "audio/VoicePool.h"

#include <glm/glm.hpp>

#include <array>
#include <string>
#include <vector>

// The game's one-shot sounds, each read from its own file in the sound directory.
enum class Sound { Shot, TankHit, WallHit, Jump, Landing, Win, Lose, Click };
inline constexpr int kSoundCount = static_cast<int>(Sound::Click) + 1; // Click stays last

// The game's one sound output: owns the device, the context, a buffer per sound file, a fixed
// pool of sources for one-shots and one looping source per tank engine. One per process.
//
// The mix: every sound file peaks at the same level, and each kind of sound plays at its own
// gain from a table in AudioSystem.cpp, times the engines' volume for the engines, times the
// master volume for everything. The gains leave headroom for sounds that coincide, and the
// output's limiter, where OpenAL offers it, keeps whatever still adds up past full scale from
// clipping.
//
// Everything is made by the constructor; after it, no call allocates on the heap or creates
// an OpenAL object, and each costs a few OpenAL state changes, so calling them every frame
// is cheap. Without an audio device the constructor prints one line and every call does
// nothing. A sound whose file cannot be read is silent; the others play.
//
// Positions are world coordinates in the game's units, +Y up.
class AudioSystem {
public:
    // What the constructor prints without an audio device.
    static constexpr const char* kNoDeviceLine = "Sound: no audio device, playing silently";

    // Opens the default output and loads every sound from soundDir (which ends with '/'),
    // with one engine loop for each of engineCount tanks.
    AudioSystem(const std::string& soundDir, int engineCount);
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    bool hasDevice() const { return static_cast<bool>(context); }

    // Silences everything at once, engines and sounds already playing included; one-shots
    // asked for while muted are not started at all. Unmuting brings the engines back.
    void setMuted(bool muted);
    bool muted() const { return isMuted; }

    // The level of everything, 0 (silent) to 1 (the designed mix, the default); values outside
    // are clamped and NaN reads as 1. Applies at once, to what is already playing too, and is
    // independent of muting: unmuting plays at the volume set meanwhile.
    void setMasterVolume(float volume);
    // The engines' level against the other sounds, 0 (no engines) to 1 (the designed mix, the
    // default), clamped like the master volume; applies at once to engines already running.
    void setEngineVolume(float volume);

    // The listener, normally the chase camera: its position, look direction and up.
    void setListener(glm::vec3 position, glm::vec3 forward, glm::vec3 up);

    // A one-shot at a place in the world: it pans with the listener's view and grows quieter
    // with distance.
    void play(Sound sound, glm::vec3 position);
    // A one-shot heard at the listener wherever it is, centred and at full level (the stings
    // and the menu click).
    void playAtListener(Sound sound);

    // Engine of tank `index` (0 to engineCount - 1; others are ignored) at `position`, its
    // pitch and gain rising with speed01, from 0 (idle) to 1 (full speed). Starts the loop
    // when it is not running.
    void setEngine(int index, glm::vec3 position, float speed01);
    // Stops every engine loop until setEngine starts it again (title and end screens).
    void stopEngines();
    // Stops one engine's loop (a tank out of play, a seat the match does not have).
    void stopEngine(int index);

private:
    // One tank's engine loop and the speed it was last set to, from which its gain is
    // worked out again when the engines' volume changes.
    struct Engine {
        AlSource source;
        float speed01 = 0.0f;
    };

    // Sets the listener's gain, which scales the whole mix: 0 while muted, else the master
    // volume.
    void applyListenerGain();
    // Sets an engine's pitch and gain from its speed and the engines' volume.
    void applyEngineLevel(const Engine& engine);

    // Starts a one-shot on a voice of the pool: at position in the world, or at position
    // relative to the listener when atListener.
    void startOneShot(Sound sound, bool atListener, glm::vec3 position);

    // Members are destroyed in reverse: sources before the buffers they play, everything
    // before the context, the context before the device, and the libraries stay quiet until
    // the device is closed.
    QuietAudioLibraries quiet;
    AlDevice device;
    AlContext context;
    std::array<AlBuffer, kSoundCount> sounds;
    AlBuffer engineSound;
    VoicePool voices;
    std::vector<Engine> engines;
    bool isMuted = false;
    float masterVolume = 1.0f;
    float engineVolume = 1.0f;
};
