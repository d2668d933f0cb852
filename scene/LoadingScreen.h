#pragma once

#include "client/GameClient.h"
#include "platform/Window.h"
#include "render/TextRenderer.h"
#include "scene/FrameObserver.h"
#include "scene/ScreenTexts.h"

// The title while the rest of the game loads behind it: the title's lines over black. Between
// one piece of loading and the next it is drawn and presented (show), so that the window shows
// the title at once and keeps showing it while the textures, models and programs load; the
// window's events wait meanwhile, as the scene cannot take them yet. The scene's first frames
// draw it too (draw) while the driver prepares what the frames will draw. Switched off, it
// draws nothing, and the game shows nothing until everything has loaded.
class LoadingScreen {
public:
    // Refers to the window and the client; on switches it on.
    LoadingScreen(Window& window, const GameClient& client, bool on);

    bool on() const { return enabled; }
    // The times it has been drawn.
    int framesShown() const { return shown; }

    // Told when each frame it shows is presented and has been (the Present phase and the
    // frame's end), when set; not owned.
    FrameObserver* observer = nullptr;
    // When on, draws the title into the window with text, which must have loaded; leaves the
    // state text draws with, as a frame does.
    void draw(TextRenderer& text);
    // When on, draws and presents one frame of it, without taking the window's events.
    void show(TextRenderer& text);
    // Shows a frame, then returns what make makes: the next piece of loading.
    template <typename Make> auto then(TextRenderer& text, Make make) {
        show(text);
        return make();
    }

private:
    Window& window;
    const GameClient& client;
    bool enabled;
    int shown = 0;
    ScreenTexts texts;
};
