#include "GlObjectCounter.h"

#include <GL/glew.h>

#include <tuple>
#include <type_traits>

namespace {

bool installed = false;
long createdObjects = 0;

// Swaps the loader's function pointer at Slot for one that counts the objects it creates:
// glGen* create as many as their first argument, glCreate* one.
template <auto Slot, typename Function = std::remove_pointer_t<decltype(Slot)>> struct Hook;

template <auto Slot, typename Result, typename... Args>
struct Hook<Slot, Result(GLAPIENTRY*)(Args...)> {
    static inline Result(GLAPIENTRY* original)(Args...) = nullptr;

    static Result GLAPIENTRY call(Args... args) {
        if constexpr (sizeof...(Args) == 2) {
            createdObjects += std::get<0>(std::tuple<Args...>(args...));
        } else {
            ++createdObjects;
        }
        return original(args...);
    }
    static void install() {
        original = *Slot;
        *Slot = call;
    }
    static void uninstall() { *Slot = original; }
};

template <typename... Hooks> struct HookSet {
    static void install() { (Hooks::install(), ...); }
    static void uninstall() { (Hooks::uninstall(), ...); }
};

using LoaderHooks =
    HookSet<Hook<&__glewGenBuffers>, Hook<&__glewGenVertexArrays>, Hook<&__glewGenFramebuffers>,
            Hook<&__glewGenRenderbuffers>, Hook<&__glewGenTransformFeedbacks>,
            Hook<&__glewGenQueries>, Hook<&__glewGenSamplers>, Hook<&__glewCreateShader>,
            Hook<&__glewCreateProgram>>;

} // namespace

extern "C" void __real_glGenTextures(GLsizei count, GLuint* names);
extern "C" void __wrap_glGenTextures(GLsizei count, GLuint* names) {
    if (installed) {
        createdObjects += count;
    }
    __real_glGenTextures(count, names);
}

namespace glObjectCounter {

void install() {
    createdObjects = 0;
    installed = true;
    LoaderHooks::install();
}

void uninstall() {
    installed = false;
    LoaderHooks::uninstall();
}

long created() {
    return createdObjects;
}

} // namespace glObjectCounter
