#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

// Gives back to the system the resident pages of the process's read-only mappings of files
// whose path contains one of names, where no page of the mapping was ever written (copied on
// write): such pages hold nothing but the file's own bytes, so reading them again maps them
// back from the file. Meant for libraries only needed to build what the game draws, once it
// is built (the shader compiler's code and the model loader's). Returns the bytes that were
// resident in the mappings given back; 0 when the process's map cannot be read.
std::size_t releaseFilePages(std::initializer_list<std::string_view> names);
