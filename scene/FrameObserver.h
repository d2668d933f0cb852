#pragma once

// The phases of one rendered frame, in the order Scene::render runs them.
enum class FramePhase { Shadow, Main, Screen, Text, Present };

// Watches the phases of each frame, for profilers. Scene::render calls phaseBegins right
// before each phase and frameEnds right after the buffer swap, on the render thread with the
// frame's GL context current. Implementations must not change GL state that the passes rely
// on, and are called every frame, so they should not allocate.
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    virtual void phaseBegins(FramePhase phase) = 0;
    virtual void frameEnds() = 0;
};
