#include "scene/SceneModels.h"

#include "render/AssetPaths.h"
#include "render/TextureLoader.h"

#include <string>

namespace {

constexpr const char* kBoxModel = "tank_bottom.obj";

Model loadGameModel(const char* name, GLuint texture) {
    return loadModel(std::string(kModelDir) + name, texture);
}

Texture loadArenaTexture(const char* name) {
    return loadTexture((std::string(kTextureDir) + name).c_str());
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

SceneModels::SceneModels(const SceneTextures& textures)
    : bullet(loadGameModel("bullet.obj", textures[SceneTextures::kWall])),
      hull(loadGameModel("tank_bottom.obj", textures[SceneTextures::kCamouflage])),
      turret(loadGameModel("tank_top.obj", textures[SceneTextures::kCamouflage])),
      arenaGroundTexture(loadArenaTexture("ground2.tga")),
      arenaWallTexture(loadArenaTexture("wall1.tga")),
      wallBox(loadGameModel(kBoxModel, arenaWallTexture.name())),
      groundBox(loadGameModel(kBoxModel, arenaGroundTexture.name())) {
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
