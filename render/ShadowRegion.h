#pragma once

#include "game/Bounds.h"

#include <glm/glm.hpp>

// A rectangle of texels of a square map; empty when width or height is 0.
struct TexelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};

// The part of the shadow map a frame can read: the shadow-map texels under every point that
// lies both in the camera's view (cameraViewProjection) and in the box holding the whole
// scene (world coordinates), grown by padding texels for the filter's reach and the lookup's
// offset from the surface. The shadow pass clears and draws only there: everything the frame
// looks up is drawn exactly as without the limit, and the texels no visible point reads are
// left alone. The whole map when the camera's view holds the whole box.
TexelRect visibleShadowTexels(const glm::mat4& cameraViewProjection, const Bounds& scene,
                              const glm::mat4& shadowTextureMatrix, int mapSize, int padding);
