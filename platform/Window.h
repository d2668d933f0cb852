#pragma once

#include "platform/InputState.h"
#include "platform/Keys.h"

#include <glm/glm.hpp>

#include <optional>

struct GLFWwindow;

// Told about every key press and release as it happens, on the main thread, while the window
// processes its events.
class KeyListener {
public:
    virtual void onKey(int key, KeyAction action) = 0;

protected:
    ~KeyListener() = default;
};

// The window library, initialised for the life of this object. At most one exists at a time.
class WindowLibrary {
public:
    WindowLibrary();
    ~WindowLibrary();
    WindowLibrary(const WindowLibrary&) = delete;
    WindowLibrary& operator=(const WindowLibrary&) = delete;

    bool ready() const { return initialised; }

private:
    bool initialised = false;
};

// The game's one window with its GL context, its input and its timer. Opening makes the
// context current; the context is the library's default one (no hints), which is what the
// renderer expects. The window can be resized, and made borderless fullscreen on the monitor it
// is on and back. A hidden window serves tests and tools. Input reaches the InputState and the
// key listener through the same path whether it comes from the window system or from a test
// (the inject functions), so tests exercise the code a player does.
class Window {
public:
    // Needs a ready WindowLibrary that outlives the window. Check isOpen() afterwards.
    Window(int width, int height, bool visible = true);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool isOpen() const { return handle != nullptr; }
    void setTitle(const char* title);
    // 1 waits for the display's refresh at every swap (vsync), 0 does not.
    void setSwapInterval(int interval);
    // Seconds since the window library started.
    double time() const;
    // True once the user asked to close the window.
    bool closeRequested() const;
    // The size of what is drawn, in pixels: the framebuffer's, which on a HiDPI screen is
    // larger than the window's size in screen units. (0, 0) while the window is minimised.
    glm::ivec2 framebufferSize() const;
    // Resizes the window (screen units), as the user dragging its border would.
    void resize(glm::ivec2 size);
    // Borderless fullscreen on the monitor the window's middle is on, at that monitor's mode;
    // off again, back to where the window was and its size.
    void setFullscreen(bool fullscreen);
    bool fullscreen() const { return fullscreenPlace.has_value(); }
    // Waits up to seconds for window events and processes them, for a minimised window that
    // draws nothing and need not spin.
    void waitEvents(double seconds);
    // Presents the frame, then processes pending window events and polls the gamepad (input
    // arrives here).
    void swapBuffers();
    // Presents the frame and nothing else: events wait for the next swapBuffers or waitEvents
    // (a frame drawn while nothing can take input yet).
    void present();

    // Captures the pointer for mouse aim while wanted and the window has the focus (hidden,
    // its moves unbounded, raw where the system offers unaccelerated motion); lets it go
    // otherwise. Called once a frame; the input's look motion follows.
    void capturePointer(bool wanted);
    bool pointerCaptured() const { return inputState.pointerCaptured(); }

    InputState& input() { return inputState; }
    // Not owned; nullptr for none.
    void setKeyListener(KeyListener* listener) { keyListener = listener; }

    void injectKey(int key, KeyAction action);
    void injectButton(int button, KeyAction action);
    void injectCursor(glm::ivec2 position) { inputState.moveCursor(position); }
    void injectScroll(double notches) { inputState.scroll(notches); }
    void injectCharacter(unsigned int codePoint) { inputState.typed(codePoint); }
    // A pad state as if polled now; from the first call on, real pads are no longer polled.
    void injectPad(const PadState& state);

private:
    static PadState pollPad();
    static Window& owner(GLFWwindow* window);
    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onButton(GLFWwindow* window, int button, int action, int mods);
    static void onCursor(GLFWwindow* window, double x, double y);
    static void onScroll(GLFWwindow* window, double xOffset, double yOffset);
    static void onCharacter(GLFWwindow* window, unsigned int codePoint);

    GLFWwindow* handle = nullptr;
    // Where the window was and its size before it went fullscreen: x, y, width, height.
    std::optional<glm::ivec4> fullscreenPlace;
    InputState inputState;
    KeyListener* keyListener = nullptr;
    bool padInjected = false;
};
