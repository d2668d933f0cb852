#include "platform/ResidentPages.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Mapping {
    unsigned long start = 0;
    unsigned long end = 0;
    bool wanted = false;      // read-only, of a named file
    std::size_t resident = 0; // kB
    std::size_t written = 0;  // kB copied on write
};

// "start-end perms offset device inode path": the range, and whether it is a read-only mapping
// of a file named in names. False for any other line.
bool readHeader(const std::string& line, std::initializer_list<std::string_view> names,
                Mapping& mapping) {
    char perms[5] = {};
    if (std::sscanf(line.c_str(), "%lx-%lx %4s", &mapping.start, &mapping.end, perms) != 3 ||
        mapping.end <= mapping.start || std::strlen(perms) != 4) {
        return false;
    }
    const std::size_t path = line.find('/');
    bool named = false;
    for (std::string_view name : names) {
        named = named || (path != std::string::npos && !name.empty() &&
                          std::string_view(line).substr(path).find(name) != std::string_view::npos);
    }
    mapping.wanted = named && perms[1] != 'w';
    return true;
}

// "Key:   N kB": adds N to what the key counts.
void readField(const std::string& line, Mapping& mapping) {
    unsigned long kilobytes = 0;
    char key[32] = {};
    if (std::sscanf(line.c_str(), "%31[^:]: %lu kB", key, &kilobytes) != 2) {
        return;
    }
    if (std::strcmp(key, "Rss") == 0) {
        mapping.resident = kilobytes;
    } else if (std::strcmp(key, "Anonymous") == 0) {
        mapping.written = kilobytes;
    }
}

} // namespace

std::size_t releaseFilePages(std::initializer_list<std::string_view> names) {
    std::ifstream smaps("/proc/self/smaps");
    std::vector<Mapping> mappings;
    std::string line;
    while (std::getline(smaps, line)) {
        Mapping next;
        if (readHeader(line, names, next)) {
            mappings.push_back(next);
        } else if (!mappings.empty()) {
            readField(line, mappings.back());
        }
    }
    std::size_t released = 0;
    for (const Mapping& mapping : mappings) {
        if (mapping.wanted && mapping.written == 0 && mapping.resident > 0 &&
            madvise(reinterpret_cast<void*>(mapping.start), mapping.end - mapping.start,
                    MADV_DONTNEED) == 0) {
            released += mapping.resident * 1024;
        }
    }
    return released;
}
