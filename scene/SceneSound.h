#pragma once

#include "audio/AudioSystem.h"
#include "client/GameClient.h"
#include "game/GameEvent.h"
#include "platform/Window.h"

#include <string>

// What the game sounds like: each step's events played where they happened, an engine loop
// for each tank while a match runs, and the listener on the chase camera as drawn. M switches
// it all off and on again. Nothing allocates after construction.
class SceneSound : public KeyListener {
public:
    // Reads every sound from soundDir (ending with '/'); without an audio device it says so
    // once and stays silent.
    explicit SceneSound(const std::string& soundDir);

    // M, when released: mutes or unmutes, printing "Sound off" or "Sound on".
    void onKey(int key, KeyAction action) override;

    // The step's events that make a sound: shots, hits, jumps and landings where they
    // happened; the start of a match and its result at the listener.
    void play(const EventList& events);
    // Once a frame, blend of the way between the last two steps: the listener to the camera's
    // eye, the engines to the tanks while a match runs; on the title and end screens the
    // engines are still.
    void follow(const GameClient& client, float blend);

    // The master volume and the engines' level against the effects, in percent.
    void setLevels(int masterPercent, int enginePercent);

    bool muted() const { return audio.muted(); }
    const AudioSystem& output() const { return audio; }

private:
    AudioSystem audio;
};
