#pragma once

#include "render/GlObject.h"

#include <functional>
#include <vector>

// The scene's five textures, read in this order: default, ground, camouflage, wall and the
// background picture. The display options filter exactly these; the arena's pieces have
// textures of their own (SceneModels). A file that cannot be read leaves its texture black.
class SceneTextures {
public:
    enum Index { kDefault, kGround, kCamouflage, kWall, kBackground };

    // Reads the five, calling betweenPictures between one and the next: uploading a picture
    // and making its mip levels takes a good part of a frame, five of them several frames.
    explicit SceneTextures(const std::function<void()>& betweenPictures = [] {});

    GLuint operator[](Index index) const { return textures[index].name(); }

    std::vector<Texture> textures; // in load order
};
