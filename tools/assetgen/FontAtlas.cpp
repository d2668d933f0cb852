#include "FontAtlas.h"

#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {
constexpr int kCells = 16;     // per row and per column
constexpr int kCellSize = 64;  // pixels: headlines are drawn 50 and 75 pixels tall
constexpr int kFirstCode = 32; // space
constexpr int kLastCode = 126; // tilde
// Free pixels kept at every cell border so filtering never bleeds into the neighbours.
constexpr int kMargin = 2;
constexpr float kOutlineRadius = 3.0f; // pixels of dark rim around every glyph
// Text quads are drawn 0.8 times as wide as tall, so glyphs are rendered this much wider
// than the font draws them to keep their proportions on screen and fill the cell.
constexpr float kHorizontalStretch = 1.65f;

std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>());
}

// Glyph coverage of the whole atlas, 0..1 per pixel.
using Coverage = std::vector<float>;

struct Layout {
    float scaleX;
    float scaleY;
    int baseline; // pixels from the top of a cell
};

// One scale for every glyph so their sizes match and they share a baseline; the tallest
// ascender and the deepest descender of the drawn range both stay inside the cell.
Layout fitLayout(const stbtt_fontinfo& font) {
    int top = 0;
    int bottom = 0;
    int widest = 0;
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (stbtt_GetCodepointBox(&font, code, &x0, &y0, &x1, &y1)) {
            top = std::max(top, y1);
            bottom = std::min(bottom, y0);
            widest = std::max(widest, x1 - x0);
        }
    }
    const float room = kCellSize - 2.0f * (kMargin + std::ceil(kOutlineRadius));
    const float scaleY = room / static_cast<float>(top - bottom);
    const float scaleX = std::min(scaleY * kHorizontalStretch, room / static_cast<float>(widest));
    const int baseline =
        static_cast<int>(std::lround(kMargin + std::ceil(kOutlineRadius) + top * scaleY));
    return {scaleX, scaleY, baseline};
}

void renderGlyphs(const stbtt_fontinfo& font, const Layout& layout, Coverage& coverage) {
    const int atlasSize = kCells * kCellSize;
    std::vector<unsigned char> glyph(kCellSize * kCellSize);
    for (int code = kFirstCode; code <= kLastCode; ++code) {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetCodepointBitmapBox(&font, code, layout.scaleX, layout.scaleY, &x0, &y0, &x1, &y1);
        const int width = std::min(x1 - x0, kCellSize);
        const int height = std::min(y1 - y0, kCellSize);
        if (width <= 0 || height <= 0) {
            continue;
        }
        std::fill(glyph.begin(), glyph.end(), 0);
        stbtt_MakeCodepointBitmap(&font, glyph.data(), width, height, kCellSize, layout.scaleX,
                                  layout.scaleY, code);
        // Centred by its ink, so narrow glyphs like 'i' sit in the middle of the cell.
        const int left = (kCellSize - width) / 2;
        const int top = layout.baseline + y0;
        const int cellX = (code % kCells) * kCellSize;
        const int cellY = (code / kCells) * kCellSize;
        for (int y = 0; y < height; ++y) {
            const int row = top + y;
            if (row < kMargin || row >= kCellSize - kMargin) {
                continue;
            }
            for (int x = 0; x < width; ++x) {
                const int ax = cellX + left + x;
                coverage[(cellY + row) * atlasSize + ax] = glyph[y * kCellSize + x] / 255.0f;
            }
        }
    }
}

// White glyph over a black rim: the rim is the coverage spread by kOutlineRadius.
Image compose(const Coverage& coverage) {
    const int atlasSize = kCells * kCellSize;
    const int reach = static_cast<int>(std::ceil(kOutlineRadius));
    Image image(atlasSize, atlasSize, 4);
    for (int y = 0; y < atlasSize; ++y) {
        for (int x = 0; x < atlasSize; ++x) {
            float rim = 0.0f;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    const int sx = x + dx;
                    const int sy = y + dy;
                    const float distance = std::sqrt(float(dx * dx + dy * dy));
                    // Stay inside the cell: a rim never reaches into a neighbour.
                    if (sx / kCellSize != x / kCellSize || sy / kCellSize != y / kCellSize ||
                        sx < 0 || sy < 0 || distance > kOutlineRadius + 0.5f) {
                        continue;
                    }
                    const float weight = std::min(1.0f, kOutlineRadius + 0.5f - distance);
                    rim = std::max(rim, coverage[sy * atlasSize + sx] * weight);
                }
            }
            const float ink = coverage[y * atlasSize + x];
            const float alpha = std::max(ink, rim);
            const float white = alpha > 0.0f ? ink / alpha : 0.0f;
            image.set(x, y, glm::vec4(glm::vec3(white), alpha));
        }
    }
    return image;
}
} // namespace

std::optional<Image> makeFontAtlas(const std::string& fontFile) {
    const std::vector<unsigned char> bytes = readBytes(fontFile);
    stbtt_fontinfo font;
    if (bytes.empty() || stbtt_GetNumberOfFonts(bytes.data()) < 1 ||
        !stbtt_InitFont(&font, bytes.data(), stbtt_GetFontOffsetForIndex(bytes.data(), 0))) {
        return std::nullopt;
    }
    const int atlasSize = kCells * kCellSize;
    Coverage coverage(static_cast<size_t>(atlasSize) * atlasSize, 0.0f);
    renderGlyphs(font, fitLayout(font), coverage);
    return compose(coverage);
}
