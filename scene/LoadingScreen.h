#pragma once

#include "client/GameClient.h"
#include "platform/Window.h"
#include "render/TextRenderer.h"
#include "scene/FrameObserver.h"
#include "scene/ScreenTexts.h"

// The title while the rest of the game loads behind it. Between one piece of loading and the
// next, a frame of the title's lines over black is drawn and presented, so that the window
// shows the title at once and keeps answering while the textures, models and programs load
// and the driver prepares what the frames will draw. Switched off, it draws nothing, and the
// game shows nothing until everything has loaded.
class LoadingScreen {
public:
    // Refers to the window and the client; on switches it on.
    LoadingScreen(Window& window, const GameClient& client, bool on);

    bool on() const { return enabled; }
    // The frames it has shown.
    int framesShown() const { return shown; }

    // Told when each of its frames is presented and has been (the Present phase and the
    // frame's end), when set; not owned.
    FrameObserver* observer = nullptr;
    // When on, draws and presents one frame of the title with text, which must have loaded;
    // leaves the state text draws with, as a frame does.
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
