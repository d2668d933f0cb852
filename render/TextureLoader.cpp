#include "render/TextureLoader.h"

#include "assets/TgaImage.h"

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

void upload(const TgaImage& image) {
    // Rows of an RGB or grey picture of odd width are not 4-byte aligned.
    constexpr GLint kTightRows = 1; // byte alignment of each row
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, kTightRows);
    const GLenum format = pixelFormat(image.channels);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image.width, image.height, 0, format,
                 GL_UNSIGNED_BYTE, image.pixels.data());
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
