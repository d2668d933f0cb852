#pragma once

#include <cstddef>
#include <string>

// Reads a whole regular file into bytes, refusing files larger than maxBytes so that a huge
// or endless file (a device, a pipe) never becomes a huge allocation. False, with bytes
// emptied, when the file is missing, not a regular file, too large or cannot be read whole.
bool readBoundedFile(const std::string& path, std::size_t maxBytes, std::string& bytes);
