#pragma once

// The whole game: assets, entities, game flow, per-frame update and rendering.
class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Advances the game by one frame of elapsedMs milliseconds.
    void update(float elapsedMs);
    // Draws one frame and presents it.
    void render();
};
