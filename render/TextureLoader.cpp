#include "render/TextureLoader.h"

#include "assets/TgaImage.h"

#include <vector>

namespace {

GLenum pixelFormat(int channels) {
    switch (channels) {
    case 1:
        return GL_LUMINANCE;
    case 3:
        return GL_RGB;
    default:
        return GL_RGBA;
    }
}

// True when every pixel of an RGBA picture is a grey: red, green and blue alike.
bool isGreyWithAlpha(const TgaImage& image) {
    if (image.channels != 4) {
        return false;
    }
    const std::vector<unsigned char>& p = image.pixels;
    for (std::size_t i = 0; i + 3 < p.size(); i += 4) {
        if (p[i] != p[i + 1] || p[i] != p[i + 2]) {
            return false;
        }
    }
    return true;
}

// A grey picture with alpha (the font) is kept as luminance and alpha, two bytes a texel
// instead of four: it samples to the same (L, L, L, A) its RGBA texels gave.
std::vector<unsigned char> luminanceAndAlpha(const TgaImage& image) {
    std::vector<unsigned char> pairs(image.pixels.size() / 2);
    for (std::size_t texel = 0; texel < pairs.size() / 2; ++texel) {
        pairs[2 * texel] = image.pixels[4 * texel];
        pairs[2 * texel + 1] = image.pixels[4 * texel + 3];
    }
    return pairs;
}

void upload(const TgaImage& image) {
    // Rows of an RGB or grey picture of odd width are not 4-byte aligned.
    constexpr GLint kTightRows = 1; // byte alignment of each row
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, kTightRows);
    if (isGreyWithAlpha(image)) {
        const std::vector<unsigned char> pairs = luminanceAndAlpha(image);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE8_ALPHA8, image.width, image.height, 0,
                     GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, pairs.data());
    } else {
        const GLenum format = pixelFormat(image.channels);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0,
                     format, GL_UNSIGNED_BYTE, image.pixels.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glGenerateMipmap(GL_TEXTURE_2D);
}

} // namespace

Texture loadTexture(const char* path) {
    Texture texture = Texture::create();
    glBindTexture(GL_TEXTURE_2D, texture.name());

    TgaImage image;
    if (path != nullptr && readTga(path, image)) {
        upload(image);
    }

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    return texture;
}
