#include "audio/AudioSystem.h"

#include "audio/SoundFile.h"

#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <iterator>
#include <optional>
#include <utility>

namespace {

// The mix. Every file peaks at the same level, a decibel under full scale, so these gains
// alone set how loud each kind of sound is against the others (in brackets, in dB). The
// player's own shot is the loudest sound and plays at the file's level: from the chase camera
// at its usual distance it reaches the output about 5 dB under full scale, which leaves room
// for a hit or a landing on top of it. A hit on a tank matters more than one on a wall. The
// stings and the click sound at the listener, undimmed by distance; the stings are sustained
// tones, loud at a low peak, and the click is a short tick right at the ear. The engines run
// all the time, so they sit well under every event: idling, both together peak about 20 dB
// under the player's shot, and full speed plays them 5 dB louder (kFullGain over kIdleGain).
struct SoundKind {
    const char* file;
    float gain;
};
// In the order of enum Sound.
constexpr SoundKind kSoundKinds[] = {
    {"shot.wav", 1.00f},     // (0)
    {"tank_hit.wav", 0.72f}, // (-2.9)
    {"wall_hit.wav", 0.61f}, // (-4.3)
    {"jump.wav", 0.33f},     // (-9.6)
    {"landing.wav", 0.50f},  // (-6.0)
    {"win.wav", 0.44f},      // (-7.1)
    {"lose.wav", 0.44f},     // (-7.1)
    {"click.wav", 0.28f},    // (-11.1)
};
static_assert(std::size(kSoundKinds) == kSoundCount, "one file and gain for each Sound");
constexpr const char* kEngineFile = "engine.wav";
constexpr float kEngineGain = 0.20f; // (-14.0) at full speed; idling, kIdleGain of that

// Enough for both tanks' shots, hits and landings to overlap with a sting and a click; when
// all are busy the pool takes over the one closest to its end.
constexpr int kVoiceCount = 16;

// Distance attenuation, OpenAL's clamped inverse-distance model: at distance d (clamped to
// kReferenceDistance..kMaxDistance) a sound plays at gain ref / (ref + rolloff * (d - ref)).
// The chase camera sits about 10 units behind the player's tank, so a reference of 10 units
// plays the player's own tank at the level its sounds were mixed at. The other tank in the
// 40 × 40 arena, typically 20 to 50 units away, is 6 to 14 dB quieter: still clearly heard,
// which matters in a duel. kMaxDistance lies past the arena's diagonal seen from the camera.
constexpr float kReferenceDistance = 10.0f; // units
constexpr float kRolloff = 1.0f;
constexpr float kMaxDistance = 60.0f; // units

// The engine loop is an idling diesel at 720 rpm; full speed runs it 1.7 times faster, and
// it grows louder with the load.
constexpr float kIdlePitch = 1.0f;
constexpr float kFullPitch = 1.7f;
constexpr float kIdleGain = 0.55f;
constexpr float kFullGain = 1.0f;
// Each engine starts this much further into the loop than the one before, so that two tanks
// idling together sound like two engines rather than one louder one.
constexpr float kEngineStagger = 0.37f; // s

// Asks the output for OpenAL Soft's limiter, which turns the mix down for the moments it would
// go past full scale, where the device can have it; without it the context is made as usual.
// The game sends no voice to an effect, so it asks for no effect sends: each of the context's
// voices is made smaller (0.8 MB in all).
AlContext createContext(const AlDevice& device) {
    if (!device) {
        return AlContext();
    }
    if (alcIsExtensionPresent(device.name(), "ALC_SOFT_output_limiter") != ALC_TRUE) {
        return AlContext::createCurrent(device.name(), nullptr);
    }
    const ALCint attributes[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, ALC_MAX_AUXILIARY_SENDS, 0, 0};
    return AlContext::createCurrent(device.name(), attributes);
}

// A volume in 0..1, NaN read as the default of 1.
float volumeOf(float volume) {
    return std::isnan(volume) ? 1.0f : std::clamp(volume, 0.0f, 1.0f);
}

AlSource makeArenaSource() {
    AlSource source = AlSource::create();
    if (source) {
        alSourcef(source.name(), AL_REFERENCE_DISTANCE, kReferenceDistance);
        alSourcef(source.name(), AL_ROLLOFF_FACTOR, kRolloff);
        alSourcef(source.name(), AL_MAX_DISTANCE, kMaxDistance);
    }
    return source;
}

AlBuffer loadSound(const std::string& path) {
    const std::optional<SoundFile> file = readSoundFile(path);
    if (!file) {
        return AlBuffer();
    }
    AlBuffer buffer = AlBuffer::upload(file->samples.data(), file->samples.size(), file->rate);
    if (!buffer) {
        std::cerr << "Sound: cannot load " << path << ": OpenAL refused its samples" << std::endl;
    }
    return buffer;
}

} // namespace

AudioSystem::AudioSystem(const std::string& soundDir, int engineCount)
    : device(AlDevice::openDefault()), context(createContext(device)) {
    if (!context) {
        std::cout << kNoDeviceLine << std::endl;
        return;
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    for (int i = 0; i < kSoundCount; ++i) {
        sounds[i] = loadSound(soundDir + kSoundKinds[i].file);
    }
    engineSound = loadSound(soundDir + kEngineFile);

    std::vector<AlSource> pool;
    pool.reserve(kVoiceCount);
    for (int i = 0; i < kVoiceCount; ++i) {
        pool.push_back(makeArenaSource());
    }
    voices = VoicePool(std::move(pool));

    engines.reserve(static_cast<std::size_t>(std::max(engineCount, 0)));
    for (int i = 0; i < engineCount; ++i) {
        Engine engine{makeArenaSource(), 0.0f};
        if (engine.source && engineSound) {
            alSourcei(engine.source.name(), AL_BUFFER, static_cast<ALint>(engineSound.name()));
            alSourcei(engine.source.name(), AL_LOOPING, AL_TRUE);
            applyEngineLevel(engine);
        }
        engines.push_back(std::move(engine));
    }
}

void AudioSystem::setMuted(bool muted) {
    isMuted = muted;
    applyListenerGain();
}

void AudioSystem::setMasterVolume(float volume) {
    masterVolume = volumeOf(volume);
    applyListenerGain();
}

void AudioSystem::setEngineVolume(float volume) {
    engineVolume = volumeOf(volume);
    for (const Engine& engine : engines) {
        applyEngineLevel(engine);
    }
}

void AudioSystem::applyListenerGain() {
    if (context) {
        alListenerf(AL_GAIN, isMuted ? 0.0f : masterVolume);
    }
}

void AudioSystem::applyEngineLevel(const Engine& engine) {
    if (!engine.source || !engineSound) {
        return;
    }
    const ALuint name = engine.source.name();
    alSourcef(name, AL_PITCH, glm::mix(kIdlePitch, kFullPitch, engine.speed01));
    alSourcef(name, AL_GAIN,
              kEngineGain * engineVolume * glm::mix(kIdleGain, kFullGain, engine.speed01));
}

void AudioSystem::setListener(glm::vec3 position, glm::vec3 forward, glm::vec3 up) {
    if (!context) {
        return;
    }
    const ALfloat orientation[] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

void AudioSystem::play(Sound sound, glm::vec3 position) {
    startOneShot(sound, false, position);
}

void AudioSystem::playAtListener(Sound sound) {
    startOneShot(sound, true, glm::vec3(0.0f));
}

void AudioSystem::setEngine(int index, glm::vec3 position, float speed01) {
    if (index < 0 || index >= static_cast<int>(engines.size()) || !engineSound) {
        return;
    }
    Engine& engine = engines[static_cast<std::size_t>(index)];
    if (!engine.source) {
        return;
    }
    engine.speed01 = speed01 > 0.0f ? std::min(speed01, 1.0f) : 0.0f; // NaN counts as idle
    const ALuint name = engine.source.name();
    alSource3f(name, AL_POSITION, position.x, position.y, position.z);
    applyEngineLevel(engine);
    if (!engine.source.playing()) {
        const float offset =
            std::fmod(static_cast<float>(index) * kEngineStagger, engineSound.seconds());
        alSourcef(name, AL_SEC_OFFSET, offset);
        alSourcePlay(name);
    }
}

void AudioSystem::stopEngines() {
    for (int index = 0; index < static_cast<int>(engines.size()); ++index) {
        stopEngine(index);
    }
}

void AudioSystem::stopEngine(int index) {
    if (index < 0 || index >= static_cast<int>(engines.size())) {
        return;
    }
    const Engine& engine = engines[static_cast<std::size_t>(index)];
    if (engine.source && engine.source.playing()) {
        alSourceStop(engine.source.name());
    }
}

void AudioSystem::startOneShot(Sound sound, bool atListener, glm::vec3 position) {
    const AlBuffer& buffer = sounds[static_cast<std::size_t>(sound)];
    if (isMuted || !buffer) {
        return;
    }
    const AlSource* voice = voices.claim(buffer.seconds());
    if (voice == nullptr) {
        return;
    }
    const ALuint name = voice->name();
    alSourcei(name, AL_BUFFER, static_cast<ALint>(buffer.name()));
    alSourcef(name, AL_GAIN, kSoundKinds[static_cast<std::size_t>(sound)].gain);
    alSourcei(name, AL_SOURCE_RELATIVE, atListener ? AL_TRUE : AL_FALSE);
    alSource3f(name, AL_POSITION, position.x, position.y, position.z);
    alSourcePlay(name);
}
