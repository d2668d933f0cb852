#include "scene/RenderOptions.h"

#include <iostream>

namespace {
constexpr int kMipmapModeCount = 3;
constexpr const char* kMipmapMessages[kMipmapModeCount] = {
    "Mip Maps disabled", "Using Mip Maps: nearest neighbour", "Using Mip Maps: linear"};
constexpr GLint kMinFilters[kMipmapModeCount] = {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST,
                                                 GL_LINEAR_MIPMAP_LINEAR};
} // namespace

void RenderOptions::onKey(int key, KeyAction action) {
    if (action != KeyAction::Release) {
        return;
    }
    switch (key) {
    case keys::kF1:
        showHelp = !showHelp;
        std::cout << (showHelp ? "Help on" : "Help off") << std::endl;
        break;
    case keys::kF2:
        showFrameRate = !showFrameRate;
        std::cout << "Toggle FrameRate" << std::endl;
        break;
    case keys::kF3:
        wireframe = !wireframe;
        std::cout << "Toggle WireFrame" << std::endl;
        break;
    case keys::kF4:
        samplingChanged = true;
        nearestSampling = !nearestSampling;
        std::cout << (nearestSampling ? "Textur-Sampling-Quality: Nearest Neighbor"
                                      : "Textur-Sampling-Quality: Bilinear")
                  << std::endl;
        break;
    case keys::kF5:
        mipmapMode = (mipmapMode + 1) % kMipmapModeCount;
        mipmapChanged = true;
        std::cout << kMipmapMessages[mipmapMode] << std::endl;
        break;
    case keys::kF6:
        showRadar = !showRadar;
        std::cout << (showRadar ? "Radar on" : "Radar off") << std::endl;
        break;
    default:
        break;
    }
}

bool RenderOptions::applyTextureOptions(const std::vector<Texture>& textures) {
    const bool changing = samplingChanged || mipmapChanged;
    if (samplingChanged) {
        samplingChanged = false;
        for (const Texture& texture : textures) {
            glBindTexture(GL_TEXTURE_2D, texture.name());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                            nearestSampling ? GL_NEAREST : GL_LINEAR);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    if (mipmapChanged) {
        mipmapChanged = false;
        for (const Texture& texture : textures) {
            glBindTexture(GL_TEXTURE_2D, texture.name());
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, kMinFilters[mipmapMode]);
            glGenerateMipmap(GL_TEXTURE_2D);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    return changing;
}
