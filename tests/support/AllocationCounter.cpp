#include "support/AllocationCounter.h"

#include <cstdlib>
#include <new>

// The bounds of this program's code, from the linker.
extern "C" const char __executable_start;
extern "C" const char etext;

namespace {

bool counting = false;
std::size_t allocations = 0;

bool fromThisProgram(const void* caller) {
    return caller >= &__executable_start && caller < &etext;
}

// Inlined into each operator new, so the return address is the operator's caller.
inline __attribute__((always_inline)) void* allocate(std::size_t size) {
    if (counting && fromThisProgram(__builtin_return_address(0))) {
        ++allocations;
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void release(void* memory) {
    std::free(memory);
}

} // namespace

namespace allocationCounter {

void start() {
    allocations = 0;
    counting = true;
}

std::size_t stop() {
    counting = false;
    return allocations;
}

} // namespace allocationCounter

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* memory) noexcept {
    release(memory);
}
void operator delete[](void* memory) noexcept {
    release(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    release(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    release(memory);
}
