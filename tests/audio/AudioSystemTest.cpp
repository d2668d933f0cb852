#include "audio/AudioSystem.h"
#include "audio/QuietAudioLibraries.h"

#include "render/AssetPaths.h"
#include "support/AllocationCounter.h"
#include "support/TempFiles.h"
#include "support/WaveBackend.h"

#include <AL/al.h>
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

// The sound output end to end, on OpenAL Soft's wave writer (see WaveBackend.h). The writer
// mixes in real time, so these tests wait real time, briefly. Where a test looks for a sound
// in the recording it relies on order, not on durations: the recording starts when the
// device opens, inside the constructor, and a sound lands in it no earlier than its call,
// less one mixing period (23 ms) or a stall of the mixer thread, which then catches up in
// one go; kMixLatency bounds both.
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kHeard = 0.03;      // RMS over 100 ms: -30 dBFS, well under a near shot
constexpr double kSilence = 1e-4;    // peak level of a mix with nothing audible in it
constexpr double kWindow = 0.1;      // s, the RMS window
constexpr double kHearingTime = 0.2; // s after its call within which a sound must be heard
constexpr double kMixLatency = 0.15; // s, a generous bound on how early a sound may land

const glm::vec3 kCamera(0.0f, 3.0f, 10.0f);
const glm::vec3 kForward(0.0f, 0.0f, -1.0f);
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void wait(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

TEST(AudioSystemTest, ShotNearTheListenerIsHeardAndMutedCallsRecordSilence) {
    for (bool muted : {false, true}) {
        SCOPED_TRACE(muted ? "muted" : "not muted");
        WaveBackend::get().enableDevice(true);
        const Clock::time_point beforeOpening = Clock::now();
        double playedBy = 0.0; // s into the recording at the latest
        {
            AudioSystem audio(kSoundDir, 2);
            ASSERT_TRUE(audio.hasDevice());
            audio.setMuted(muted);
            EXPECT_EQ(audio.muted(), muted);
            audio.setListener(kCamera, kForward, kUp);
            audio.play(Sound::Shot, kCamera + 3.0f * kForward);
            if (muted) {
                audio.setEngine(0, kCamera + 3.0f * kForward, 0.5f); // runs, but is not heard
            }
            playedBy = secondsSince(beforeOpening);
            wait(kHearingTime + kWindow);
        }
        const std::vector<float> recording = WaveBackend::get().recording();
        ASSERT_FALSE(recording.empty());
        if (muted) {
            EXPECT_LT(peakLevel(recording, 0.0, 1e9), kSilence);
        } else {
            // Nothing sounds before the call, so the loudest window up to the end of the
            // hearing time is the shot's.
            EXPECT_GT(loudestWindow(recording, 0.0, playedBy + kHearingTime - kWindow, kWindow),
                      kHeard);
        }
    }
}

TEST(AudioSystemTest, FramesAllocateNothingAndLeaveNoOpenAlError) {
    WaveBackend::get().enableDevice(true);
    AudioSystem audio(kSoundDir, 2);
    ASSERT_TRUE(audio.hasDevice());
    constexpr int kFrames = 60;
    constexpr int kBurst = 24; // more one-shots than voices: the pool has to take some over
    allocationCounter::start();
    for (int frame = 0; frame < kFrames; ++frame) {
        const float s = frame / float(kFrames);
        audio.setListener(kCamera + glm::vec3(s, 0.0f, 0.0f), kForward, kUp);
        audio.setEngine(0, glm::vec3(0.0f), s);
        audio.setEngine(1, glm::vec3(10.0f, 0.0f, -20.0f), 1.0f - s);
        audio.setEngine(2, glm::vec3(0.0f), s); // no such engine: ignored
        audio.setMasterVolume(1.0f - s);
        audio.setEngineVolume(s);
        if (frame % 10 == 0) {
            audio.play(Sound::WallHit, glm::vec3(5.0f, 0.0f, -5.0f));
        }
    }
    for (int i = 0; i < kBurst; ++i) {
        audio.play(static_cast<Sound>(i % kSoundCount), glm::vec3(float(i), 0.0f, 0.0f));
    }
    audio.playAtListener(Sound::Win);
    audio.setMuted(true);
    audio.playAtListener(Sound::Click);
    audio.setMuted(false);
    audio.stopEngines();
    EXPECT_EQ(allocationCounter::stop(), 0u);
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST(AudioSystemTest, VolumesChangeAnEngineAlreadyRunningAtOnceAndApartFromMuting) {
    // Each step's calls, then the engine's level that follows, against the designed mix's.
    struct Step {
        const char* what;
        void (*set)(AudioSystem&);
        double level;
    };
    const Step kSteps[] = {
        {"the designed mix", [](AudioSystem&) {}, 1.0},
        {"master at half", [](AudioSystem& a) { a.setMasterVolume(0.5f); }, 0.5},
        {"engines at a quarter", [](AudioSystem& a) { a.setEngineVolume(0.25f); }, 0.125},
        {"muted, master NaN",
         [](AudioSystem& a) {
             a.setMuted(true);
             a.setMasterVolume(NAN);
         },
         0.0},
        {"unmuted", [](AudioSystem& a) { a.setMuted(false); }, 0.25},
        {"engines above 1", [](AudioSystem& a) { a.setEngineVolume(7.0f); }, 1.0},
        {"master below 0", [](AudioSystem& a) { a.setMasterVolume(-3.0f); }, 0.0},
    };
    constexpr double kStep = 0.45;   // s each step plays
    constexpr double kSettle = 0.03; // s for OpenAL to glide to a new gain
    constexpr double kLevelDb = 1.5; // the engine loop's level over a step varies by 0.7 dB
    struct Span {
        double from;
        double to;
    };
    std::vector<Span> spans; // s into the recording that each step surely holds
    WaveBackend::get().enableDevice(true);
    const Clock::time_point beforeOpening = Clock::now();
    {
        AudioSystem audio(kSoundDir, 1);
        ASSERT_TRUE(audio.hasDevice());
        audio.setListener(kCamera, kForward, kUp);
        audio.setEngine(0, kCamera + 3.0f * kForward, 1.0f);
        for (const Step& step : kSteps) {
            step.set(audio);
            const double from = secondsSince(beforeOpening) + kSettle;
            wait(kStep);
            spans.push_back({from, secondsSince(beforeOpening) - kMixLatency});
        }
    }
    const std::vector<float> recording = WaveBackend::get().recording();
    const double designed = rmsLevel(recording, spans[0].from, spans[0].to - spans[0].from);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        SCOPED_TRACE(kSteps[i].what);
        const Span& span = spans[i];
        if (kSteps[i].level == 0.0) {
            EXPECT_LT(peakLevel(recording, span.from, span.to - span.from), kSilence);
        } else {
            const double level = rmsLevel(recording, span.from, span.to - span.from) / designed;
            EXPECT_NEAR(20.0 * std::log10(level), 20.0 * std::log10(kSteps[i].level), kLevelDb);
        }
    }
}

TEST(AudioSystemTest, SoundsThatCoincideNeverPassFullScale) {
    // Every voice starts a shot at the listener at once, over both engines at full speed: at
    // their gains they would add up to many times full scale (8.5 times, unlimited), but the
    // output's limiter turns the mix down where it would pass full scale, its ceiling on this
    // float output. The loudest moment stays loud.
    constexpr int kShots = 16;
    constexpr double kShotSeconds = 0.75;
    constexpr double kNearFullScale = 0.7; // -3 dBFS
    WaveBackend::get().enableDevice(true);
    {
        AudioSystem audio(kSoundDir, 2);
        ASSERT_TRUE(audio.hasDevice());
        audio.setListener(kCamera, kForward, kUp);
        audio.setEngine(0, kCamera, 1.0f);
        audio.setEngine(1, kCamera, 1.0f);
        for (int i = 0; i < kShots; ++i) {
            audio.playAtListener(Sound::Shot);
        }
        wait(kShotSeconds + kMixLatency);
    }
    const double peak = peakLevel(WaveBackend::get().recordingMagnitudes(), 0.0, 1e9);
    EXPECT_LE(peak, 1.0);
    EXPECT_GT(peak, kNearFullScale);
}

// A copy of the sound directory in which one file is damaged.
struct Damage {
    const char* kind;
    const char* file;
    Sound sound;
};

void damage(const TempDir& dir, const Damage& d) {
    const std::string path = dir.path() + "/" + d.file;
    const std::string intact = readFile(path);
    const std::string kind = d.kind;
    std::filesystem::remove(path);
    if (kind == "half") {
        dir.write(d.file, intact.substr(0, intact.size() / 2));
    } else if (kind == "empty") {
        dir.write(d.file, "");
    } else if (kind == "random") {
        std::string bytes(intact.size(), '\0');
        std::uint32_t state = 12345;
        for (char& b : bytes) {
            state = state * 1664525u + 1013904223u;
            b = static_cast<char>(state >> 24);
        }
        dir.write(d.file, bytes);
    } else if (kind == "huge") {
        std::filesystem::resize_file(dir.write(d.file, intact), 64u << 20); // sparse
    } else if (kind == "stereo" || kind == "aiff") {
        // A valid file of the wrong kind: two channels, or a format that is not WAV.
        SF_INFO info{};
        info.samplerate = 44100;
        info.channels = kind == "stereo" ? 2 : 1;
        info.format = (kind == "stereo" ? SF_FORMAT_WAV : SF_FORMAT_AIFF) | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        const std::vector<short> tone(44100 * info.channels, 8000);
        sf_writef_short(file, tone.data(), 44100);
        sf_close(file);
    }
}

TEST(AudioSystemTest, ABrokenFileSilencesOnlyItsOwnSound) {
    const Damage kCases[] = {
        {"missing", "shot.wav", Sound::Shot},      {"half", "tank_hit.wav", Sound::TankHit},
        {"empty", "wall_hit.wav", Sound::WallHit}, {"random", "jump.wav", Sound::Jump},
        {"huge", "landing.wav", Sound::Landing},   {"stereo", "win.wav", Sound::Win},
        {"aiff", "lose.wav", Sound::Lose},
    };
    constexpr double kApart = 0.3; // s between the damaged sound's call and the good one's
    for (const Damage& d : kCases) {
        SCOPED_TRACE(std::string(d.kind) + " " + d.file);
        TempDir dir;
        std::filesystem::copy(kSoundDir, dir.path(), std::filesystem::copy_options::recursive);
        damage(dir, d);
        WaveBackend::get().enableDevice(true);
        double goodCalledAfter = 0.0; // s into the recording at the earliest
        CaptureStdout();
        CaptureStderr();
        {
            AudioSystem audio(dir.path() + "/", 1);
            const Clock::time_point opened = Clock::now();
            audio.playAtListener(d.sound);
            wait(kApart);
            goodCalledAfter = secondsSince(opened);
            audio.playAtListener(d.sound == Sound::Shot ? Sound::TankHit : Sound::Shot);
            wait(kHearingTime + kWindow);
        }
        EXPECT_EQ(GetCapturedStdout(), "");
        const std::string errors = GetCapturedStderr();
        EXPECT_EQ(errors.rfind("Sound: cannot load " + dir.path() + "/" + d.file + ": ", 0), 0u)
            << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        const std::vector<float> recording = WaveBackend::get().recording();
        // Silence until the good sound, which is heard.
        EXPECT_LT(peakLevel(recording, 0.0, goodCalledAfter - kMixLatency), kSilence);
        EXPECT_GT(loudestWindow(recording, 0.0, 1e9, kWindow), kHeard);
    }
}

TEST(AudioSystemTest, WithoutADeviceOneLineIsPrintedAndEveryCallDoesNothing) {
    WaveBackend::get().enableDevice(false);
    CaptureStdout();
    CaptureStderr();
    {
        AudioSystem audio(kSoundDir, 2);
        EXPECT_FALSE(audio.hasDevice());
        audio.setListener(kCamera, kForward, kUp);
        audio.play(Sound::Shot, glm::vec3(0.0f));
        audio.playAtListener(Sound::Win);
        audio.setEngine(0, glm::vec3(0.0f), 0.5f);
        audio.setMuted(true);
        audio.stopEngines();
    }
    EXPECT_EQ(GetCapturedStdout(), "Sound: no audio device, playing silently\n");
    // OpenAL Soft would have logged why the writer could not open.
    EXPECT_EQ(GetCapturedStderr(), "");

    // ALSA, which the game's device would be opened through on a machine without a sound
    // server, complains about a device it cannot find, unless kept quiet.
    const auto openMissingDevice = [] {
        snd_pcm_t* pcm = nullptr;
        CaptureStderr();
        EXPECT_LT(snd_pcm_open(&pcm, "brakkel_no_such_device", SND_PCM_STREAM_PLAYBACK, 0), 0);
        return GetCapturedStderr();
    };
    EXPECT_NE(openMissingDevice().find("ALSA lib"), std::string::npos);
    {
        QuietAudioLibraries quiet;
        EXPECT_EQ(openMissingDevice(), "");
    }
    EXPECT_NE(openMissingDevice().find("ALSA lib"), std::string::npos);
}

} // namespace
