#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Builds TGA files for the texture tests. Pixels are given in picture order: the top row
// first, each pixel as R, G, B(, A) or a grey byte.
struct TgaLayout {
    int width = 0;
    int height = 0;
    int channels = 3;         // 1 grey, 3 RGB, 4 RGBA
    bool topOrigin = false;   // rows stored top first (descriptor bit 5) instead of bottom first
    bool rightOrigin = false; // pixels of a row stored right to left (descriptor bit 4)
    bool runLength = false;   // image types 10 and 11
};

inline std::string makeTga(const TgaLayout& layout, const std::vector<unsigned char>& topFirst) {
    const int pixelCount = layout.width * layout.height;
    std::vector<std::vector<unsigned char>> stored; // in file order, BGR(A)
    for (int i = 0; i < pixelCount; ++i) {
        const int fileRow = i / layout.width;
        const int fileColumn = i % layout.width;
        const int row = layout.topOrigin ? fileRow : layout.height - 1 - fileRow;
        const int column = layout.rightOrigin ? layout.width - 1 - fileColumn : fileColumn;
        const unsigned char* p = &topFirst[(row * layout.width + column) * layout.channels];
        std::vector<unsigned char> pixel(p, p + layout.channels);
        if (layout.channels >= 3) {
            std::swap(pixel[0], pixel[2]);
        }
        stored.push_back(pixel);
    }

    std::string file(18, '\0');
    const bool grey = layout.channels == 1;
    file[2] = static_cast<char>((grey ? 3 : 2) + (layout.runLength ? 8 : 0));
    file[12] = static_cast<char>(layout.width & 0xFF);
    file[13] = static_cast<char>(layout.width >> 8);
    file[14] = static_cast<char>(layout.height & 0xFF);
    file[15] = static_cast<char>(layout.height >> 8);
    file[16] = static_cast<char>(layout.channels * 8);
    file[17] = static_cast<char>((layout.topOrigin ? 0x20 : 0) | (layout.rightOrigin ? 0x10 : 0) |
                                 (layout.channels == 4 ? 8 : 0));
    auto append = [&file](const std::vector<unsigned char>& pixel) {
        file.append(pixel.begin(), pixel.end());
    };
    if (!layout.runLength) {
        for (const auto& pixel : stored) {
            append(pixel);
        }
        return file;
    }
    // Run packets for repeated pixels, raw packets otherwise, at most 128 pixels each.
    constexpr int kMaxPacket = 128;
    int i = 0;
    while (i < pixelCount) {
        int run = 1;
        while (i + run < pixelCount && run < kMaxPacket && stored[i + run] == stored[i]) {
            ++run;
        }
        if (run >= 2) {
            file.push_back(static_cast<char>(0x80 | (run - 1)));
            append(stored[i]);
            i += run;
            continue;
        }
        int raw = 1;
        while (i + raw < pixelCount && raw < kMaxPacket &&
               !(i + raw + 1 < pixelCount && stored[i + raw + 1] == stored[i + raw])) {
            ++raw;
        }
        file.push_back(static_cast<char>(raw - 1));
        for (int k = 0; k < raw; ++k) {
            append(stored[i + k]);
        }
        i += raw;
    }
    return file;
}

// A copy of file with the width and height in its header replaced.
inline std::string withSize(std::string file, unsigned width, unsigned height) {
    file[12] = static_cast<char>(width & 0xFF);
    file[13] = static_cast<char>(width >> 8);
    file[14] = static_cast<char>(height & 0xFF);
    file[15] = static_cast<char>(height >> 8);
    return file;
}

// A picture whose every byte differs from its neighbours: byte k is seed + 7k (mod 256).
inline std::vector<unsigned char> patternPixels(int width, int height, int channels,
                                                unsigned char seed = 11) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width * height * channels));
    for (std::size_t k = 0; k < pixels.size(); ++k) {
        pixels[k] = static_cast<unsigned char>(seed + 7 * k);
    }
    return pixels;
}
