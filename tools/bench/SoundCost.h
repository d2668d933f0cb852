#pragma once

#include <set>
#include <string>

class Scene;

// The threads the sound library runs (its mixer), found as the threads that start while the
// scene is built, less the GL driver's own, which name themselves ("llvmpipe-N", "...:disk$N").
class SoundThreads {
public:
    // Remembers the process's threads: make it before the scene.
    SoundThreads();
    // Takes the threads started since construction, but for the driver's, as the sound's.
    void findNew();
    // CPU seconds the sound's threads have used so far.
    double cpuSeconds() const;

private:
    std::set<std::string> before;
    std::set<std::string> sound; // thread ids, as their /proc/self/task entries
};

// Milliseconds that a busy frame's sound calls take on the calling thread: the listener and
// both engines moved, a shot and its wall hit started; the average of `repeats`.
double timeSoundCalls(Scene& scene, int repeats);
