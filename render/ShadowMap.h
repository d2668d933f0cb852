#pragma once

#include "render/DrawList.h"
#include "render/GlObject.h"
#include "render/ShadowRegion.h"

#include <glm/glm.hpp>

// The shadow of one fixed, distant light: a square depth map, 4096 × 4096 at full quality,
// rendered from the light every frame, which the lit program samples as a depth-comparison
// texture (GL_LEQUAL) through "sm_light_texmat" (bias × light projection × light view).
//
// Only the part of the map that anything drawn can read is stored: the rectangle of the map's
// texels under a box around everything that can be drawn (the reach), as a rectangle texture
// the lit program reads in texels ("shadow_map_texels" gives the map's side,
// "shadow_map_corner" the map's texel at the texture's corner). A frame reads and draws every
// texel exactly where the whole square map has it, so the picture is the same, in less memory:
// the map is drawn with the whole map's viewport, moved by the stored corner, and what falls
// outside the stored part is never read.
class ShadowMap {
public:
    static constexpr int kFullSize = 4096; // texels per side
    // The texture unit the lit program samples the map on.
    static constexpr GLint kTextureUnit = 1;

    // lightDirection points towards the light (unit length); the map has texels per side and
    // stores the part under reach. Loads "shadow.vert"/"shadow.frag" and makes the target,
    // printing "SM FBO created successfully" or, on standard error, "error initializing shadow
    // FBO". A GL error pending before the map's texture is made is reported as "before texture".
    ShadowMap(glm::vec3 lightDirection, int texels, const Bounds& reach);

    // Gives the map another size, texels per side; makes no new GL object.
    void resize(int texels);
    // Stores the part under another reach (another arena), unless it is the one stored; makes
    // no new GL object.
    void setReach(const Bounds& reach);
    int size() const { return texels; }
    // Columns and rows of the map that are stored, from storedCorner().
    glm::ivec2 storedTexels() const { return stored; }
    // The map's texel stored at the texture's corner (0, 0).
    glm::ivec2 storedCorner() const { return corner; }

    // The shadow pass over region (see ShadowRegion.h; the whole map when it is
    // wholeMap()), as far as the map is stored: the depth of everything in draws, as seen from
    // the light, pushed away by the polygon offset so that lit surfaces do not shadow
    // themselves. An empty region draws nothing.
    void render(const DrawList& draws, TexelRect region) const;
    // The part of the map that frames seen through cameraViewProjection read, in a scene held
    // by the box scene.
    TexelRect regionSeenBy(const glm::mat4& cameraViewProjection, const Bounds& scene) const;
    // Every texel the map stores.
    TexelRect wholeMap() const { return {corner.x, corner.y, stored.x, stored.y}; }
    // The light's projection × view, and bias × that (light map coordinates and depth), for
    // a light in lightDirection (unit length, towards it).
    static glm::mat4 lightSpaceFor(glm::vec3 lightDirection);
    static glm::mat4 textureMatrixFor(glm::vec3 lightDirection);

    Texture depthTexture;
    Framebuffer framebuffer;
    Program program;
    GLint modelLocation;
    glm::mat4 lightSpaceMatrix;    // light projection × light view
    glm::mat4 shadowTextureMatrix; // bias × lightSpaceMatrix: to map coordinates and depth

private:
    // Sizes the texture for the map's side and the reach.
    void store();

    int texels;
    Bounds reach;
    glm::ivec2 corner{0};
    glm::ivec2 stored{0};
};
