#pragma once

#include "render/DrawList.h"
#include "render/GlObject.h"

#include <glm/glm.hpp>

// The shadow of one fixed, distant light: a 4096 × 4096 depth texture rendered from the light
// every frame, which the lit program samples as a depth-comparison texture (GL_LEQUAL) through
// "sm_light_texmat" (bias × light projection × light view).
class ShadowMap {
public:
    static constexpr int kSize = 4096; // texels per side

    // lightDirection points towards the light (unit length). Loads "shadow.vert"/"shadow.frag"
    // and makes the target, printing "SM FBO created successfully" or, on standard error,
    // "error initializing shadow FBO".
    explicit ShadowMap(glm::vec3 lightDirection);

    // The shadow pass: the depth of everything in draws, as seen from the light, pushed away by
    // the polygon offset so that lit surfaces do not shadow themselves.
    void render(const DrawList& draws) const;

    Texture depthTexture;
    Framebuffer framebuffer;
    Program program;
    GLint modelLocation;
    GLint lightSpaceLocation;
    glm::mat4 lightSpaceMatrix;    // light projection × light view
    glm::mat4 shadowTextureMatrix; // bias × lightSpaceMatrix: to map coordinates and depth
};
