#include "render/TextureLoader.h"

#include "TgaFiles.h"
#include "assets/TgaImage.h"
#include "support/GlContext.h"
#include "support/TempFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

GLint levelParameter(GLuint texture, GLint level, GLenum name) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

std::vector<unsigned char> texels(GLuint texture, GLenum format, int channels, GLint level = 0) {
    const GLint width = levelParameter(texture, level, GL_TEXTURE_WIDTH);
    const GLint height = levelParameter(texture, level, GL_TEXTURE_HEIGHT);
    std::vector<unsigned char> out(static_cast<size_t>(width * height * channels));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, out.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return out;
}

std::vector<unsigned char> bottomRowFirst(const std::vector<unsigned char>& topFirst, int width,
                                          int height, int channels) {
    std::vector<unsigned char> out;
    const size_t rowBytes = static_cast<size_t>(width * channels);
    for (int row = height - 1; row >= 0; --row) {
        out.insert(out.end(), topFirst.begin() + row * rowBytes,
                   topFirst.begin() + (row + 1) * rowBytes);
    }
    return out;
}

GLint parameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

Texture loadQuietly(const std::string& path, std::string* output = nullptr) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Texture texture = loadTexture(path.c_str());
    std::string printed = testing::internal::GetCapturedStdout();
    printed += testing::internal::GetCapturedStderr();
    if (output != nullptr) {
        *output = printed;
    }
    return texture;
}

struct Layout {
    int channels;
    bool topOrigin;
    bool rightOrigin;
    bool runLength;
};

class TextureLayoutTest : public GlTest, public ::testing::WithParamInterface<Layout> {};

// Odd width and height: rows are not 4-byte aligned, and a row swap would show.
TEST_P(TextureLayoutTest, UploadsBottomRowFirstWithTheFilesChannels) {
    const Layout layout = GetParam();
    constexpr int kWidth = 5;
    constexpr int kHeight = 3;
    const TgaLayout file{
        kWidth, kHeight, layout.channels, layout.topOrigin, layout.rightOrigin, layout.runLength};
    std::vector<unsigned char> picture = patternPixels(kWidth, kHeight, layout.channels);
    // A repeated pixel run exercises run packets in the encoded files.
    for (int k = 0; k < layout.channels; ++k) {
        picture[layout.channels + k] = picture[k];
        picture[2 * layout.channels + k] = picture[k];
    }
    TempDir dir;
    const std::string path = dir.write("picture.tga", makeTga(file, picture));

    std::string output;
    const Texture loaded = loadQuietly(path, &output);
    const GLuint texture = loaded.name();
    EXPECT_EQ(output, "");
    ASSERT_NE(texture, 0u);
    EXPECT_EQ(static_cast<GLuint>(intState(GL_TEXTURE_BINDING_2D)), texture);

    const GLenum format = layout.channels == 1   ? GL_LUMINANCE
                          : layout.channels == 3 ? GL_RGB
                                                 : GL_RGBA;
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_WIDTH), kWidth);
    EXPECT_EQ(levelParameter(texture, 0, GL_TEXTURE_HEIGHT), kHeight);
    EXPECT_EQ(texels(texture, format, layout.channels),
              bottomRowFirst(picture, kWidth, kHeight, layout.channels));
    if (layout.channels == 4) {
        EXPECT_GT(levelParameter(texture, 0, GL_TEXTURE_ALPHA_SIZE), 0);
    }
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(
    Origins, TextureLayoutTest,
    ::testing::Values(Layout{3, false, false, false}, Layout{3, true, false, false},
                      Layout{3, false, false, true}, Layout{3, true, false, true},
                      Layout{4, false, false, false}, Layout{4, true, false, true},
                      Layout{1, false, false, false}, Layout{1, true, false, true},
                      Layout{3, false, true, false}, Layout{4, true, true, true}));

using TextureLoaderTest = GlTest;

TEST_F(TextureLoaderTest, SetsTheFourParametersAndTheWholeMipChain) {
    constexpr int kWidth = 8;
    constexpr int kHeight = 4;
    constexpr GLint kLastLevel = 3; // log2 of the larger side
    TempDir dir;
    const std::string path =
        dir.write("mip.tga", makeTga({kWidth, kHeight, 3}, patternPixels(kWidth, kHeight, 3)));
    const Texture loaded = loadQuietly(path);
    const GLuint texture = loaded.name();

    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(levelParameter(texture, 1, GL_TEXTURE_WIDTH), kWidth / 2);
    EXPECT_EQ(levelParameter(texture, kLastLevel, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(texture, kLastLevel, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoaderTest, KeepsTheCallersUnpackAlignment) {
    TempDir dir;
    const std::string path = dir.write("odd.tga", makeTga({3, 3, 3}, patternPixels(3, 3, 3)));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    const Texture texture = loadQuietly(path);
    EXPECT_EQ(intState(GL_UNPACK_ALIGNMENT), 8);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST_F(TextureLoaderTest, TwoLoadsOfOneFileGiveTwoTexturesWithOneContent) {
    TempDir dir;
    const std::string path = dir.write("twice.tga", makeTga({4, 2, 4}, patternPixels(4, 2, 4)));
    Texture first = loadQuietly(path);
    const Texture second = loadQuietly(path);
    EXPECT_NE(first.name(), second.name());
    EXPECT_EQ(texels(first.name(), GL_RGBA, 4), texels(second.name(), GL_RGBA, 4));
    EXPECT_EQ(texels(first.name(), GL_RGBA, 4).size(), 4u * 2u * 4u);

    // Each handle deletes only its own texture.
    const GLuint firstName = first.name();
    first.reset();
    EXPECT_EQ(glIsTexture(firstName), GL_FALSE);
    EXPECT_EQ(glIsTexture(second.name()), GL_TRUE);
    EXPECT_EQ(texels(second.name(), GL_RGBA, 4).size(), 4u * 2u * 4u);
}

TEST_F(TextureLoaderTest, MissingFileGivesANameWithoutImageAndPrintsNothing) {
    std::string output;
    const Texture texture = loadQuietly("../Brakkel_game/Textures/no-such-file.tga", &output);
    EXPECT_NE(texture.name(), 0u);
    EXPECT_EQ(output, "");
    EXPECT_EQ(levelParameter(texture.name(), 0, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

std::string withHeaderByte(std::string file, size_t offset, unsigned char value) {
    file[offset] = static_cast<char>(value);
    return file;
}

TEST_F(TextureLoaderTest, DamagedOrUnsupportedFilesGiveAnEmptyTexture) {
    const std::string good = makeTga({4, 4, 3}, patternPixels(4, 4, 3));
    const std::string goodRle = makeTga({4, 4, 3, false, false, true}, patternPixels(4, 4, 3));
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"empty", ""},
        {"header only", good.substr(0, 18)},
        {"one pixel short", good.substr(0, good.size() - 1)},
        {"half the pixels", good.substr(0, 18 + 4 * 4 * 3 / 2)},
        {"id field eats the pixels", withHeaderByte(good, 0, 200)},
        {"colour-mapped", withHeaderByte(good, 1, 1)},
        {"colour map length without a map", withHeaderByte(good, 5, 16)},
        {"unknown image type", withHeaderByte(good, 2, 1)},
        {"bad depth", withHeaderByte(good, 16, 16)},
        {"grey type with colour depth", withHeaderByte(good, 2, 3)},
        {"interleaved rows", withHeaderByte(good, 17, 0x40)},
        {"zero width", withSize(good, 0, 4)},
        {"60000 x 60000", withSize(good, 60000, 60000)},
        {"65535 x 65535 in 19 bytes", withSize(good, 65535, 65535).substr(0, 19)},
        {"65535 x 65535 run-length", withSize(goodRle, 65535, 65535)},
        {"just above the size bound", withSize(good, kMaxTgaDimension + 1, 1)},
        {"run-length without packets", goodRle.substr(0, 19)},
    };
    TempDir dir;
    for (const auto& [name, bytes] : damaged) {
        SCOPED_TRACE(name);
        std::string output;
        const Texture texture = loadQuietly(dir.write("damaged.tga", bytes), &output);
        EXPECT_NE(texture.name(), 0u);
        EXPECT_EQ(output, "");
        EXPECT_EQ(levelParameter(texture.name(), 0, GL_TEXTURE_WIDTH), 0);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// A run-length file whose packets stop early decodes with the missing pixels zeroed: the
// decoder reads through a bounded buffer.
TEST(TgaImageTest, ShortRunLengthDataReadsAsZeros) {
    const std::string file =
        makeTga({4, 1, 3, false, false, true}, {9, 9, 9, 9, 9, 9, 1, 2, 3, 4, 5, 6});
    // Packets: a run of two 9s, then one raw packet of two pixels; keep only the run.
    const std::string cut = file.substr(0, 18 + 1 + 3);
    TgaImage image;
    ASSERT_TRUE(decodeTga(reinterpret_cast<const unsigned char*>(cut.data()), cut.size(), image));
    EXPECT_EQ(image.pixels, (std::vector<unsigned char>{9, 9, 9, 9, 9, 9, 0, 0, 0, 0, 0, 0}));
}

} // namespace
