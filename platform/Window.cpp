#include "platform/Window.h"

#include <GLFW/glfw3.h>

#include <cmath>

#if defined(__SANITIZE_ADDRESS__)
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#endif

static_assert(keys::kSpace == GLFW_KEY_SPACE && keys::kA == GLFW_KEY_A && keys::kD == GLFW_KEY_D &&
                  keys::kE == GLFW_KEY_E && keys::kL == GLFW_KEY_L && keys::kM == GLFW_KEY_M &&
                  keys::kQ == GLFW_KEY_Q && keys::kS == GLFW_KEY_S && keys::kW == GLFW_KEY_W &&
                  keys::kO == GLFW_KEY_O && keys::kG == GLFW_KEY_G,
              "letter and space codes are the window library's");
static_assert(keys::kEscape == GLFW_KEY_ESCAPE && keys::kEnter == GLFW_KEY_ENTER &&
                  keys::kTab == GLFW_KEY_TAB && keys::kBackspace == GLFW_KEY_BACKSPACE &&
                  keys::kF1 == GLFW_KEY_F1 && keys::kF2 == GLFW_KEY_F2 &&
                  keys::kF3 == GLFW_KEY_F3 && keys::kF4 == GLFW_KEY_F4 &&
                  keys::kF5 == GLFW_KEY_F5 && keys::kF6 == GLFW_KEY_F6 &&
                  keys::kF11 == GLFW_KEY_F11 && keys::kRight == GLFW_KEY_RIGHT &&
                  keys::kLeft == GLFW_KEY_LEFT && keys::kDown == GLFW_KEY_DOWN &&
                  keys::kUp == GLFW_KEY_UP && keys::kLast == GLFW_KEY_LAST,
              "function key codes are the window library's");
static_assert(buttons::kLeft == GLFW_MOUSE_BUTTON_LEFT &&
                  buttons::kRight == GLFW_MOUSE_BUTTON_RIGHT &&
                  buttons::kLast == GLFW_MOUSE_BUTTON_LAST,
              "mouse button codes are the window library's");
static_assert(pad::kA == GLFW_GAMEPAD_BUTTON_A && pad::kB == GLFW_GAMEPAD_BUTTON_B &&
                  pad::kY == GLFW_GAMEPAD_BUTTON_Y && pad::kDpadUp == GLFW_GAMEPAD_BUTTON_DPAD_UP &&
                  pad::kDpadRight == GLFW_GAMEPAD_BUTTON_DPAD_RIGHT &&
                  pad::kDpadDown == GLFW_GAMEPAD_BUTTON_DPAD_DOWN &&
                  pad::kDpadLeft == GLFW_GAMEPAD_BUTTON_DPAD_LEFT &&
                  pad::kLeftBumper == GLFW_GAMEPAD_BUTTON_LEFT_BUMPER &&
                  pad::kRightBumper == GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER &&
                  pad::kBack == GLFW_GAMEPAD_BUTTON_BACK &&
                  pad::kStart == GLFW_GAMEPAD_BUTTON_START &&
                  pad::kButtonCount == GLFW_GAMEPAD_BUTTON_LAST + 1,
              "pad button codes are the window library's");
static_assert(pad::kLeftX == GLFW_GAMEPAD_AXIS_LEFT_X && pad::kLeftY == GLFW_GAMEPAD_AXIS_LEFT_Y &&
                  pad::kRightX == GLFW_GAMEPAD_AXIS_RIGHT_X &&
                  pad::kRightY == GLFW_GAMEPAD_AXIS_RIGHT_Y &&
                  pad::kLeftTrigger == GLFW_GAMEPAD_AXIS_LEFT_TRIGGER &&
                  pad::kRightTrigger == GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER &&
                  pad::kAxisCount == GLFW_GAMEPAD_AXIS_LAST + 1,
              "pad axis codes are the window library's");

namespace {

constexpr int kWindowDepthBits = 16; // of the window's depth buffer
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
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    // What is drawn into the window (the final pass, the text, the radar) is tested only
    // against depths far apart: 16 bits order them as 24 did, at half the memory, and nothing
    // uses a stencil.
    glfwWindowHint(GLFW_DEPTH_BITS, kWindowDepthBits);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
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
    glfwSetCharCallback(handle, onCharacter);
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

glm::ivec2 Window::framebufferSize() const {
    glm::ivec2 size(0);
    if (handle != nullptr) {
        glfwGetFramebufferSize(handle, &size.x, &size.y);
    }
    return size;
}

void Window::resize(glm::ivec2 size) {
    if (handle != nullptr) {
        glfwSetWindowSize(handle, size.x, size.y);
    }
}

namespace {
// The monitor holding the middle of the window at (x, y) of size (width, height); the primary
// one when none does.
GLFWmonitor* monitorUnder(glm::ivec4 place) {
    const glm::ivec2 middle(place.x + place.z / 2, place.y + place.w / 2);
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    for (int i = 0; i < count; ++i) {
        const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
        glm::ivec2 origin(0);
        glfwGetMonitorPos(monitors[i], &origin.x, &origin.y);
        if (mode != nullptr && middle.x >= origin.x && middle.x < origin.x + mode->width &&
            middle.y >= origin.y && middle.y < origin.y + mode->height) {
            return monitors[i];
        }
    }
    return glfwGetPrimaryMonitor();
}
} // namespace

void Window::setFullscreen(bool on) {
    if (handle == nullptr || on == fullscreen()) {
        return;
    }
    if (!on) {
        const glm::ivec4 place = *fullscreenPlace;
        fullscreenPlace.reset();
        glfwSetWindowMonitor(handle, nullptr, place.x, place.y, place.z, place.w, GLFW_DONT_CARE);
        return;
    }
    glm::ivec4 place(0);
    glfwGetWindowPos(handle, &place.x, &place.y);
    glfwGetWindowSize(handle, &place.z, &place.w);
    GLFWmonitor* monitor = monitorUnder(place);
    const GLFWvidmode* mode = monitor != nullptr ? glfwGetVideoMode(monitor) : nullptr;
    if (mode == nullptr) {
        return;
    }
    fullscreenPlace = place;
    // At the monitor's own mode the window library makes the window borderless over the whole
    // monitor without changing the mode.
    glfwSetWindowMonitor(handle, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
}

void Window::capturePointer(bool wanted) {
    const bool capture =
        wanted && handle != nullptr && glfwGetWindowAttrib(handle, GLFW_FOCUSED) == GLFW_TRUE;
    if (capture == inputState.pointerCaptured()) {
        return;
    }
    if (glfwRawMouseMotionSupported() == GLFW_TRUE) {
        glfwSetInputMode(handle, GLFW_RAW_MOUSE_MOTION, capture ? GLFW_TRUE : GLFW_FALSE);
    }
    glfwSetInputMode(handle, GLFW_CURSOR, capture ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
    inputState.capturePointer(capture);
}

void Window::waitEvents(double seconds) {
    glfwWaitEventsTimeout(seconds);
    if (!padInjected) {
        inputState.padPolled(pollPad());
    }
}

void Window::swapBuffers() {
    if (handle != nullptr) {
        glfwSwapBuffers(handle);
    }
    glfwPollEvents();
    if (!padInjected) {
        inputState.padPolled(pollPad());
    }
}

void Window::present() {
    if (handle != nullptr) {
        glfwSwapBuffers(handle);
    }
}

void Window::injectPad(const PadState& state) {
    padInjected = true;
    inputState.padPolled(state);
}

PadState Window::pollPad() {
    // The library notices pads plugged in or out while it processes events; the first one it
    // knows the layout of is the player's.
    for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
        GLFWgamepadstate polled;
        if (glfwJoystickIsGamepad(joystick) == GLFW_TRUE &&
            glfwGetGamepadState(joystick, &polled) == GLFW_TRUE) {
            PadState state;
            state.connected = true;
            for (int button = 0; button < pad::kButtonCount; ++button) {
                state.buttons[static_cast<std::size_t>(button)] =
                    polled.buttons[button] == GLFW_PRESS;
            }
            for (int axis = 0; axis < pad::kAxisCount; ++axis) {
                state.axes[static_cast<std::size_t>(axis)] = polled.axes[axis];
            }
            return state;
        }
    }
    return PadState();
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

void Window::onCharacter(GLFWwindow* window, unsigned int codePoint) {
    owner(window).injectCharacter(codePoint);
}
