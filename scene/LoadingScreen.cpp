#include "scene/LoadingScreen.h"

LoadingScreen::LoadingScreen(Window& window, const GameClient& client, bool on)
    : window(window), client(client), enabled(on) {}

void LoadingScreen::draw(TextRenderer& text) {
    const glm::ivec2 size = window.framebufferSize();
    if (!enabled || size.x <= 0 || size.y <= 0) {
        return;
    }
    TextOptions options;
    options.padControls = window.input().padConnected();
    options.window = size;
    texts.build(client, options);
    text.setWindowSize(size);
    text.begin();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const TextLine& line : texts) {
        text.queue(line.text, line.x, line.y, line.size);
    }
    text.drawQueued();
    ++shown;
}

void LoadingScreen::show(TextRenderer& text) {
    const glm::ivec2 size = window.framebufferSize();
    if (!enabled || size.x <= 0 || size.y <= 0) {
        return;
    }
    draw(text);
    if (observer != nullptr) {
        observer->phaseBegins(FramePhase::Present);
    }
    // The scene cannot take input yet: the window's events wait for its first frame.
    window.present();
    if (observer != nullptr) {
        observer->frameEnds();
    }
}
