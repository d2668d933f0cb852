#include "client/UserFolder.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

std::string userFolder(const char* variable, const char* belowHome) {
    const char* set = std::getenv(variable);
    fs::path base;
    if (set != nullptr && fs::path(set).is_absolute()) {
        base = set;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        base = fs::path(home) / belowHome;
    } else {
        return "";
    }
    return (base / "brakkel").string();
}
