#include "scene/SceneTextures.h"

#include "render/AssetPaths.h"
#include "render/TextureLoader.h"

#include <string>

namespace {
constexpr const char* kFiles[] = {"default.tga", "ground2.tga", "camouflage.tga", "wall1.tga",
                                  "day.tga"};
} // namespace

SceneTextures::SceneTextures(const std::function<void()>& betweenPictures) {
    for (const char* name : kFiles) {
        if (!textures.empty()) {
            betweenPictures();
        }
        textures.push_back(loadTexture((std::string(kTextureDir) + name).c_str()));
    }
}
