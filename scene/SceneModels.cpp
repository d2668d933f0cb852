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
Material armour(glm::vec3 tint) {
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

} // namespace

SceneModels::SceneModels(const SceneTextures& textures)
    : bullet(loadGameModel("bullet.obj", textures[SceneTextures::kWall])),
      hull(loadGameModel("tank_bottom.obj", textures[SceneTextures::kCamouflage])),
      turret(loadGameModel("tank_top.obj", textures[SceneTextures::kCamouflage])),
      arenaGroundTexture(loadArenaTexture("ground2.tga")),
      arenaWallTexture(loadArenaTexture("wall1.tga")),
      wallBox(loadGameModel(kBoxModel, arenaWallTexture.name())),
      groundBox(loadGameModel(kBoxModel, arenaGroundTexture.name())) {
    for (std::size_t colour = 0; colour < tankMaterials.size(); ++colour) {
        tankMaterials[colour] = armour(seat_colours::colour(colour).tint);
    }
    bulletMaterial.ka = 0.2f;
    bulletMaterial.kd = 0.8f;
    bulletMaterial.ks = 1.0f;
    bulletMaterial.phongPower = 5;
    pieceMaterial.ka = 0.4f;
    pieceMaterial.kd = 1.0f;
    pieceMaterial.ks = 0.2f;
    pieceMaterial.phongPower = 64;
}
