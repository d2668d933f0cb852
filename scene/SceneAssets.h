#pragma once

#include "game/ArenaPiece.h"
#include "game/Match.h"
#include "render/GlObject.h"
#include "render/Material.h"
#include "render/Model.h"

#include <vector>

// Everything the scene draws with: the scene's five textures (the ones the display options
// filter), the arena's own two, the models, and the materials of tanks, bullets and pieces.
class SceneAssets {
public:
    // Loads every texture and model; a file that cannot be read is reported by its loader
    // and leaves that texture black or that model empty.
    SceneAssets();

    // The box sizes of the models, for the game's collision bodies.
    ModelBounds bounds() const;
    const Model& pieceModel(PieceKind kind) const {
        return kind == PieceKind::Ground ? groundBox : wallBox;
    }

    // In load order: default, ground, camouflage, wall, background picture.
    std::vector<Texture> sceneTextures;
    Texture arenaGroundTexture;
    Texture arenaWallTexture;

    Model bullet;
    Model hull;
    Model turret;
    Model wallBox;
    Model groundBox;

    Material playerTankMaterial;
    Material computerTankMaterial;
    Material bulletMaterial;
    Material pieceMaterial;

    GLuint backgroundPicture() const;
};
