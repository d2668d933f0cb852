#include "assets/TgaImage.h"

#include "assets/BoundedFile.h"

#include <algorithm>
#include <memory>

// The decoder is compiled here with the TGA reader only, so a damaged file can never reach
// the decoders of other formats, and with a bound on the picture size.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 4096
#include <stb/stb_image.h>

static_assert(STBI_MAX_DIMENSIONS == kMaxTgaDimension, "decoder and header check agree");

namespace {

// Layout of the 18-byte TGA header.
constexpr std::size_t kHeaderBytes = 18;
constexpr std::size_t kIdLengthOffset = 0;
constexpr std::size_t kColorMapTypeOffset = 1;
constexpr std::size_t kImageTypeOffset = 2;
constexpr std::size_t kColorMapLengthOffset = 5;
constexpr std::size_t kWidthOffset = 12;
constexpr std::size_t kHeightOffset = 14;
constexpr std::size_t kPixelDepthOffset = 16;
constexpr std::size_t kDescriptorOffset = 17;

constexpr unsigned char kTrueColor = 2;
constexpr unsigned char kGrey = 3;
constexpr unsigned char kRleTrueColor = 10;
constexpr unsigned char kRleGrey = 11;

constexpr unsigned char kRightToLeftBit = 0x10;
constexpr unsigned char kInterleaveBits = 0xC0;

constexpr std::size_t kMaxRlePacketPixels = 128; // one packet header byte covers at most this

// Largest file worth reading: the biggest accepted picture, with room for the id field and
// the packet headers of a run-length encoded file that compresses nothing.
constexpr std::size_t kMaxFileBytes =
    2 * static_cast<std::size_t>(kMaxTgaDimension) * kMaxTgaDimension * 4;

unsigned readLittle16(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

// Bytes per pixel the image type allows for this depth; 0 when the pair is not accepted.
int channelsFor(unsigned char imageType, unsigned char depth) {
    if (imageType == kTrueColor || imageType == kRleTrueColor) {
        return (depth == 24 || depth == 32) ? depth / 8 : 0;
    }
    if (imageType == kGrey || imageType == kRleGrey) {
        return depth == 8 ? 1 : 0;
    }
    return 0;
}

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

} // namespace

bool decodeTga(const unsigned char* bytes, std::size_t size, TgaImage& image) {
    if (bytes == nullptr || size < kHeaderBytes || size > kMaxFileBytes) {
        return false;
    }
    const unsigned char imageType = bytes[kImageTypeOffset];
    const int channels = channelsFor(imageType, bytes[kPixelDepthOffset]);
    const unsigned char descriptor = bytes[kDescriptorOffset];
    const unsigned width = readLittle16(bytes + kWidthOffset);
    const unsigned height = readLittle16(bytes + kHeightOffset);
    if (channels == 0 || bytes[kColorMapTypeOffset] != 0 ||
        readLittle16(bytes + kColorMapLengthOffset) != 0 || (descriptor & kInterleaveBits) != 0 ||
        width == 0 || height == 0 || width > kMaxTgaDimension || height > kMaxTgaDimension) {
        return false;
    }

    // The decoder fills what a short file lacks with unread memory, so the file must hold
    // every pixel (uncompressed) or at least one packet per run of pixels (run-length).
    const std::size_t dataStart = kHeaderBytes + bytes[kIdLengthOffset];
    const std::size_t pixelCount = static_cast<std::size_t>(width) * height;
    const bool runLength = imageType == kRleTrueColor || imageType == kRleGrey;
    const std::size_t minimumData =
        runLength ? (pixelCount + kMaxRlePacketPixels - 1) / kMaxRlePacketPixels * (1 + channels)
                  : pixelCount * channels;
    if (size < dataStart + minimumData) {
        return false;
    }

    int decodedWidth = 0;
    int decodedHeight = 0;
    int decodedChannels = 0;
    std::unique_ptr<stbi_uc, StbFree> decoded(stbi_load_from_memory(
        bytes, static_cast<int>(size), &decodedWidth, &decodedHeight, &decodedChannels, 0));
    if (!decoded || decodedWidth != static_cast<int>(width) ||
        decodedHeight != static_cast<int>(height) || decodedChannels != channels) {
        return false;
    }

    // The decoder honours the file's top/bottom origin and hands back the top row first; it
    // ignores a right-to-left origin.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * channels;
    std::vector<unsigned char> pixels(rowBytes * height);
    for (unsigned row = 0; row < height; ++row) {
        const stbi_uc* source = decoded.get() + (height - 1 - row) * rowBytes;
        std::copy(source, source + rowBytes, pixels.begin() + row * rowBytes);
        if ((descriptor & kRightToLeftBit) != 0) {
            unsigned char* line = pixels.data() + row * rowBytes;
            for (unsigned left = 0, right = width - 1; left < right; ++left, --right) {
                std::swap_ranges(line + left * channels, line + (left + 1) * channels,
                                 line + right * channels);
            }
        }
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.channels = channels;
    image.pixels = std::move(pixels);
    return true;
}

bool readTga(const std::string& path, TgaImage& image) {
    std::string bytes;
    if (readBoundedFile(path, kMaxFileBytes, bytes) != BoundedRead::Ok) {
        return false;
    }
    return decodeTga(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image);
}
