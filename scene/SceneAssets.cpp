#include "scene/SceneAssets.h"

#include "render/AssetPaths.h"
#include "render/TextureLoader.h"

#include <string>

namespace {

enum SceneTexture { kDefault, kGround, kCamouflage, kWall, kBackground };
constexpr const char* kSceneTextureFiles[] = {"default.tga", "ground2.tga", "camouflage.tga",
                                              "wall1.tga", "day.tga"};
constexpr const char* kBoxModel = "tank_bottom.obj";

Texture loadGameTexture(const char* name) {
    return loadTexture((std::string(kTextureDir) + name).c_str());
}

Model loadGameModel(const char* name, const Texture& texture) {
    return loadModel(std::string(kModelDir) + name, texture.name());
}

// Matt armour: a little ambient, mostly diffuse, a broad highlight, all in the tank's colour.
Material tankMaterial(glm::vec3 tint) {
    Material material;
    material.ka = 0.2f;
    material.kd = 0.8f;
    material.ks = 1.0f;
    material.ambientColor = tint;
    material.diffuseColor = tint;
    material.specularColor = tint;
    material.phongPower = 3;
    return material;
}

// The computer's tank is painted rust-orange so that it stands out from the player's.
const glm::vec3 kComputerTint(1.0f, 0.44f, 0.22f);
const glm::vec3 kPlayerTint(1.0f);

} // namespace

SceneAssets::SceneAssets() {
    for (const char* name : kSceneTextureFiles) {
        sceneTextures.push_back(loadGameTexture(name));
    }
    bullet = loadGameModel("bullet.obj", sceneTextures[kWall]);
    hull = loadGameModel("tank_bottom.obj", sceneTextures[kCamouflage]);
    turret = loadGameModel("tank_top.obj", sceneTextures[kCamouflage]);
    // The arena has textures of its own, untouched by the display options.
    arenaGroundTexture = loadGameTexture(kSceneTextureFiles[kGround]);
    arenaWallTexture = loadGameTexture(kSceneTextureFiles[kWall]);
    wallBox = loadGameModel(kBoxModel, arenaWallTexture);
    groundBox = loadGameModel(kBoxModel, arenaGroundTexture);

    playerTankMaterial = tankMaterial(kPlayerTint);
    computerTankMaterial = tankMaterial(kComputerTint);
    bulletMaterial.ka = 0.2f;
    bulletMaterial.kd = 0.8f;
    bulletMaterial.ks = 1.0f;
    bulletMaterial.phongPower = 5;
    pieceMaterial.ka = 0.4f;
    pieceMaterial.kd = 1.0f;
    pieceMaterial.ks = 0.2f;
    pieceMaterial.phongPower = 64;
}

ModelBounds SceneAssets::bounds() const {
    return {hull.bounds, bullet.bounds, wallBox.bounds};
}

GLuint SceneAssets::backgroundPicture() const {
    return sceneTextures[kBackground].name();
}
