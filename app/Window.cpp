#include "app/Window.h"

#include <GLFW/glfw3.h>

#include <array>
#include <cmath>

namespace window {
namespace {

// A key released before anyone polled it keeps reading as pressed until polled once.
constexpr int kStickyRelease = -1;

GLFWwindow* handle = nullptr;
bool stickyKeys = false;
KeyCallback keyCallback = nullptr;
std::array<int, GLFW_KEY_LAST + 1> keyStates{};
std::array<int, GLFW_MOUSE_BUTTON_LAST + 1> buttonStates{};
int cursorX = 0;
int cursorY = 0;
double wheelPosition = 0.0;

bool validKey(int key) {
    return key >= 0 && key <= GLFW_KEY_LAST;
}

void onKey(GLFWwindow*, int key, int, int action, int) {
    if (action == GLFW_REPEAT) {
        return;
    }
    injectKey(key, action);
}

void onMouseButton(GLFWwindow*, int button, int action, int) {
    injectMouseButton(button, action);
}

void onCursor(GLFWwindow*, double x, double y) {
    injectMousePosition(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

void onScroll(GLFWwindow*, double, double yOffset) {
    wheelPosition += yOffset;
}

} // namespace

bool initLibrary() {
    return glfwInit() == GLFW_TRUE;
}

bool open(int width, int height, bool visible) {
    glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    handle = glfwCreateWindow(width, height, "", nullptr, nullptr);
    glfwDefaultWindowHints();
    if (handle == nullptr) {
        return false;
    }
    glfwMakeContextCurrent(handle);
    glfwSetKeyCallback(handle, onKey);
    glfwSetMouseButtonCallback(handle, onMouseButton);
    glfwSetCursorPosCallback(handle, onCursor);
    glfwSetScrollCallback(handle, onScroll);
    keyStates.fill(GLFW_RELEASE);
    buttonStates.fill(GLFW_RELEASE);
    wheelPosition = 0.0;
    return true;
}

void close() {
    if (handle != nullptr) {
        glfwDestroyWindow(handle);
        handle = nullptr;
    }
}

void terminateLibrary() {
    handle = nullptr;
    glfwTerminate();
}

void setTitle(const char* title) {
    if (handle != nullptr) {
        glfwSetWindowTitle(handle, title);
    }
}

void enableStickyKeys() {
    stickyKeys = true;
    if (handle != nullptr) {
        glfwSetInputMode(handle, GLFW_STICKY_KEYS, GLFW_TRUE);
    }
}

double time() {
    return glfwGetTime();
}

int key(int key) {
    if (!validKey(key)) {
        return GLFW_RELEASE;
    }
    int& state = keyStates[static_cast<size_t>(key)];
    if (state == kStickyRelease) {
        state = GLFW_RELEASE;
        return GLFW_PRESS;
    }
    return state;
}

int mouseButton(int button) {
    if (button < 0 || button > GLFW_MOUSE_BUTTON_LAST) {
        return GLFW_RELEASE;
    }
    return buttonStates[static_cast<size_t>(button)];
}

void mousePosition(int* x, int* y) {
    *x = cursorX;
    *y = cursorY;
}

int mouseWheel() {
    return static_cast<int>(std::lround(wheelPosition));
}

bool isOpen() {
    return handle != nullptr && glfwWindowShouldClose(handle) == GLFW_FALSE;
}

void setKeyCallback(KeyCallback callback) {
    keyCallback = callback;
}

void swapBuffers() {
    if (handle != nullptr) {
        glfwSwapBuffers(handle);
    }
    glfwPollEvents();
}

void injectKey(int key, int action) {
    if (validKey(key)) {
        int& state = keyStates[static_cast<size_t>(key)];
        if (action == GLFW_PRESS) {
            state = GLFW_PRESS;
        } else if (action == GLFW_RELEASE) {
            // A press nobody has polled yet still counts once.
            state = (stickyKeys && state == GLFW_PRESS) ? kStickyRelease : GLFW_RELEASE;
        }
    }
    if (keyCallback != nullptr) {
        keyCallback(key, action);
    }
}

void injectMouseButton(int button, int action) {
    if (button >= 0 && button <= GLFW_MOUSE_BUTTON_LAST) {
        buttonStates[static_cast<size_t>(button)] = action;
    }
}

void injectMousePosition(int x, int y) {
    cursorX = x;
    cursorY = y;
}

void injectScroll(int steps) {
    wheelPosition += steps;
}

} // namespace window
