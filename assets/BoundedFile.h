#pragma once

#include <cstddef>
#include <string>

// How a bounded read ended.
enum class BoundedRead {
    Ok,
    Missing,    // no such file, or not a regular file
    TooLarge,   // larger than the bound
    Unreadable, // its size or its bytes cannot be read
};

// Reads a whole regular file into bytes, refusing files larger than maxBytes so that a huge
// or endless file (a device, a pipe) never becomes a huge allocation. Anything but Ok leaves
// bytes empty and says why.
BoundedRead readBoundedFile(const std::string& path, std::size_t maxBytes, std::string& bytes);
