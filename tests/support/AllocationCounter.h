#pragma once

#include <cstddef>

// Counts the calls to the global operator new made from this program's own code (the game's
// code and the standard containers it instantiates) while counting is on. Allocations made
// inside shared libraries, the GL driver's shader compiler above all, are not the game's and
// are not counted. The replacement operators live in AllocationCounter.cpp.
namespace allocationCounter {

void start();
std::size_t stop();

} // namespace allocationCounter
