#include "platform/Window.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

static_assert(keys::kSpace == GLFW_KEY_SPACE && keys::kA == GLFW_KEY_A && keys::kD == GLFW_KEY_D &&
                  keys::kE == GLFW_KEY_E && keys::kL == GLFW_KEY_L && keys::kM == GLFW_KEY_M &&
                  keys::kQ == GLFW_KEY_Q && keys::kS == GLFW_KEY_S && keys::kW == GLFW_KEY_W,
              "letter and space codes are the window library's");
static_assert(keys::kEscape == GLFW_KEY_ESCAPE && keys::kEnter == GLFW_KEY_ENTER &&
                  keys::kF1 == GLFW_KEY_F1 && keys::kF2 == GLFW_KEY_F2 &&
                  keys::kF3 == GLFW_KEY_F3 && keys::kF4 == GLFW_KEY_F4 &&
                  keys::kF5 == GLFW_KEY_F5 && keys::kF6 == GLFW_KEY_F6 &&
                  keys::kLast == GLFW_KEY_LAST,
              "function key codes are the window library's");
static_assert(buttons::kLeft == GLFW_MOUSE_BUTTON_LEFT &&
                  buttons::kRight == GLFW_MOUSE_BUTTON_RIGHT &&
                  buttons::kLast == GLFW_MOUSE_BUTTON_LAST,
              "mouse button codes are the window library's");

namespace {
#if defined(__SANITIZE_ADDRESS__)
// In sanitizer builds the GL driver stays mapped after the window library lets go of it. The
// driver keeps allocations for its own lifetime, reachable from its own data, where the leak
// check finds them; unmapped at exit they would read as leaks from an unknown module.
int keepResident(dl_phdr_info* module, size_t, void*) {
    const char* name = module->dlpi_name;
    if (name != nullptr &&
        (std::strstr(name, "_dri.so") != nullptr || std::strstr(name, "libgallium") != nullptr)) {
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}
void keepGlDriverLoaded() {
    dl_iterate_phdr(keepResident, nullptr);
}
#else
void keepGlDriverLoaded() {}
#endif
} // namespace

WindowLibrary::WindowLibrary() : initialised(glfwInit() == GLFW_TRUE) {}

WindowLibrary::~WindowLibrary() {
    if (initialised) {
        keepGlDriverLoaded();
        glfwTerminate();
    }
}

Window::Window(int width, int height, bool visible) {
    glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    handle = glfwCreateWindow(width, height, "", nullptr, nullptr);
    glfwDefaultWindowHints();
    if (handle == nullptr) {
        return;
    }
    glfwMakeContextCurrent(handle);
    glfwSetWindowUserPointer(handle, this);
    glfwSetKeyCallback(handle, onKey);
    glfwSetMouseButtonCallback(handle, onButton);
    glfwSetCursorPosCallback(handle, onCursor);
    glfwSetScrollCallback(handle, onScroll);
}

Window::~Window() {
    if (handle != nullptr) {
        glfwDestroyWindow(handle);
    }
}

void Window::setTitle(const char* title) {
    if (handle != nullptr) {
        glfwSetWindowTitle(handle, title);
    }
}

void Window::setSwapInterval(int interval) {
    if (handle != nullptr) {
        glfwSwapInterval(interval);
    }
}

double Window::time() const {
    return glfwGetTime();
}

bool Window::closeRequested() const {
    return handle == nullptr || glfwWindowShouldClose(handle) == GLFW_TRUE;
}

void Window::swapBuffers() {
    if (handle != nullptr) {
        glfwSwapBuffers(handle);
    }
    glfwPollEvents();
}

void Window::injectKey(int key, KeyAction action) {
    inputState.keyEvent(key, action);
    if (keyListener != nullptr) {
        keyListener->onKey(key, action);
    }
}

void Window::injectButton(int button, KeyAction action) {
    inputState.buttonEvent(button, action);
}

Window& Window::owner(GLFWwindow* window) {
    return *static_cast<Window*>(glfwGetWindowUserPointer(window));
}

void Window::onKey(GLFWwindow* window, int key, int, int action, int) {
    // Held keys repeat in the window system; the game sees one press.
    if (action != GLFW_REPEAT) {
        owner(window).injectKey(key, action == GLFW_PRESS ? KeyAction::Press : KeyAction::Release);
    }
}

void Window::onButton(GLFWwindow* window, int button, int action, int) {
    owner(window).injectButton(button,
                               action == GLFW_PRESS ? KeyAction::Press : KeyAction::Release);
}

void Window::onCursor(GLFWwindow* window, double x, double y) {
    owner(window).injectCursor(
        glm::ivec2(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))));
}

void Window::onScroll(GLFWwindow* window, double, double yOffset) {
    owner(window).injectScroll(yOffset);
}
