#pragma once

#include "game/ArenaPiece.h"
#include "render/GlObject.h"
#include "render/Material.h"
#include "render/Model.h"
#include "scene/SceneTextures.h"
#include "scene/SeatColours.h"

#include <array>

// The models the scene draws and their materials: the bullet and the tank's hull and turret
// with the scene's textures, then the arena's box twice, with the arena's own ground and wall
// textures. A file that cannot be read is reported by its loader and leaves that model empty.
class SceneModels {
public:
    // Reads the models in that order; the textures must outlive the models.
    explicit SceneModels(const SceneTextures& textures);

    const Model& pieceModel(PieceKind kind) const {
        return kind == PieceKind::Ground ? groundBox : wallBox;
    }

    Model bullet;
    Model hull;
    Model turret;
    Texture arenaGroundTexture;
    Texture arenaWallTexture;
    Model wallBox;
    Model groundBox;

    // A tank's, by the index of its colour (seat_colours).
    const Material& tankMaterial(std::size_t colour) const {
        return tankMaterials[colour < tankMaterials.size() ? colour : 0];
    }

    std::array<Material, seat_colours::kCount> tankMaterials;
    Material bulletMaterial;
    Material pieceMaterial;
};
