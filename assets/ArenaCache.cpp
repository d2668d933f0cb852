#include "assets/ArenaCache.h"

#include "assets/ArenaFile.h"
#include "client/UserFolder.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

std::string ArenaCache::standardFolder() {
    const std::string cache = userFolder("XDG_CACHE_HOME", ".cache");
    return cache.empty() ? "" : (fs::path(cache) / "arenas").string();
}

std::string ArenaCache::fileName(std::uint64_t hash) {
    char name[32];
    std::snprintf(name, sizeof name, "%016" PRIx64 ".toml", hash);
    return name;
}

std::optional<Arena> ArenaCache::read(const std::string& file, std::string& fault) {
    return ArenaFile::parse(file, fault);
}

void ArenaCache::keep(std::uint64_t hash, const std::string& file) {
    if (folder.empty()) {
        return;
    }
    const fs::path path = fs::path(folder) / fileName(hash);
    std::error_code failure;
    fs::create_directories(folder, failure);
    if (fs::is_regular_file(path, failure)) {
        // Kept already: used now.
        fs::last_write_time(path, fs::file_time_type::clock::now(), failure);
    } else {
        const fs::path temporary = path.string() + ".new";
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, failure);
            errors << "Arena cache: cannot write " << path.string() << std::endl;
            return;
        }
        fs::rename(temporary, path, failure);
        if (failure) {
            fs::remove(temporary, failure);
            errors << "Arena cache: cannot write " << path.string() << ": " << failure.message()
                   << std::endl;
            return;
        }
    }
    trim(path.string());
}

void ArenaCache::trim(const std::string& kept) {
    struct Kept {
        fs::path path;
        fs::file_time_type used;
        std::uintmax_t bytes;
    };
    std::vector<Kept> files;
    std::uintmax_t total = 0;
    std::error_code failure;
    fs::directory_iterator entry(folder, failure);
    for (; !failure && entry != fs::directory_iterator(); entry.increment(failure)) {
        std::error_code each;
        if (entry->is_regular_file(each) && entry->path().extension() == ".toml") {
            const std::uintmax_t bytes = entry->file_size(each);
            const fs::file_time_type used = entry->last_write_time(each);
            if (!each) {
                files.push_back({entry->path(), used, bytes});
                total += bytes;
            }
        }
    }
    std::sort(files.begin(), files.end(),
              [](const Kept& a, const Kept& b) { return a.used < b.used; });
    for (const Kept& file : files) {
        if (total <= kMaxBytes) {
            break;
        }
        if (file.path != kept && fs::remove(file.path, failure)) {
            total -= file.bytes;
        }
    }
}
