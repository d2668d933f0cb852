#pragma once

#include "platform/FixedStep.h"
#include "platform/FrameRateMeter.h"
#include "platform/Window.h"
#include "scene/Scene.h"

// The game's frame loop, one frame at a time: the fixed steps that real time has made due
// (a networked game's clock a little faster or slower), then the frame drawn blended between
// the last two steps and presented. The game runs it until the player leaves; the benchmark
// runs the very same frames and times them.
class GameLoop {
public:
    // The first frame counts the time from here. Reports a GL error pending now as
    // "before main loop".
    GameLoop(Window& window, Scene& scene);

    // One frame. False once the window was asked to close or the player asked to leave.
    bool frame();

    // Wall time of the last frame's steps, and of its drawing and presenting, in seconds.
    double updateSeconds() const { return updateTime; }
    double renderSeconds() const { return renderTime; }

private:
    Window& window;
    Scene& scene;
    FixedStep clock;
    FrameRateMeter meter;
    double previousTime;
    double updateTime = 0.0;
    double renderTime = 0.0;
};
