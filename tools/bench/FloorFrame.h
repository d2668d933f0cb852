#pragma once

class FrameObserver;
class Scene;

// The cost every frame pays whatever the arena holds: the clears of the shadow map, the scene
// targets and the window, the background picture and the final pass, then the swap; no
// objects, no texts and no update. Marks the same phases as Scene::render so that both are
// timed alike; the text phase is empty. Draws with the targets the scene's renderer has.
void renderFloorFrame(Scene& scene, FrameObserver& observer);

// What the game's fixed choices cost before anything is drawn: clearing the whole shadow map,
// both scene targets with their depth buffer and the window, and the swap. Marks the same
// phases; all but the shadow, main and present phases are empty.
void renderMandatedFloorFrame(Scene& scene, FrameObserver& observer);
