#include "assets/BoundedFile.h"

#include <filesystem>
#include <fstream>

BoundedRead readBoundedFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    bytes.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return BoundedRead::Missing;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return BoundedRead::Unreadable;
    }
    if (size > maxBytes) {
        return BoundedRead::TooLarge;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return BoundedRead::Unreadable;
    }
    bytes.resize(static_cast<std::size_t>(size));
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(file.gcount()) != bytes.size()) {
        bytes.clear();
        return BoundedRead::Unreadable;
    }
    return BoundedRead::Ok;
}
