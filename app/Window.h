#pragma once

// The game's window, keyboard, mouse and timer. The game was designed around a window
// library with a single implicit window, polled key states, an integer mouse position and
// an accumulated integer wheel position; this adapter offers exactly that on top of GLFW 3.
// Key and button codes are GLFW 3's (GLFW_KEY_ESCAPE, GLFW_KEY_ENTER, GLFW_KEY_F2, ...).
//
// Input reaches the game through the same callbacks whether it comes from the X server or
// from a test (the inject* functions), so tests exercise the code the player does.
namespace window {

using KeyCallback = void (*)(int key, int action);

bool initLibrary();
// Opens the one window and makes its GL context current. No context hints: the library's
// default context is what the renderer expects. A hidden window serves tests and tools.
bool open(int width, int height, bool visible = true);
void close();
void terminateLibrary();

void setTitle(const char* title);
// With sticky keys a press that was released before it was polled still reads as pressed once.
void enableStickyKeys();
double time();

// GLFW_PRESS or GLFW_RELEASE.
int key(int key);
int mouseButton(int button);
void mousePosition(int* x, int* y);
// Accumulated scroll steps since the window opened.
int mouseWheel();
// False once the user asked to close the window.
bool isOpen();

// Called on every key press and release, after the polled state was updated.
void setKeyCallback(KeyCallback callback);
// Presents the frame and then processes pending window events.
void swapBuffers();

void injectKey(int key, int action);
void injectMouseButton(int button, int action);
void injectMousePosition(int x, int y);
void injectScroll(int steps);

} // namespace window
