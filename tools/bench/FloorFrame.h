#pragma once

class FrameObserver;
class Scene;

// The cost every frame pays whatever the arena holds: the clears of the shadow map, the scene
// framebuffer and the window, the background picture and the final pass, then the swap; no
// objects, no texts and no update. Marks the same phases as Scene::render so that both are
// timed alike; the text phase is empty.
void renderFloorFrame(Scene& scene, FrameObserver& observer);
