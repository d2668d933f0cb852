#include "render/ShadowMap.h"

#include "game/Angles.h"
#include "platform/GlCheck.h"
#include "render/AssetPaths.h"
#include "render/PassState.h"
#include "render/ShaderLoader.h"

#include <glm/gtc/type_ptr.hpp>

#include <iostream>
#include <string>

namespace {

constexpr glm::vec3 kLightAim(15.0f, 0.0f, -10.0f);
constexpr float kLightDistance = 105.0f;   // units from the aim point along the light
constexpr float kLightHeightScale = 0.35f; // the eye is lowered to this share of its height
constexpr float kLightFovDegrees = 45.0f;
constexpr float kLightNear = 45.0f;
constexpr float kLightFar = 90.0f;
constexpr float kPolygonOffsetFactor = 1.1f;
constexpr float kPolygonOffsetUnits = 4.0f;
// Texels around the part of the map a frame reads: the lookup's bilinear filter reaches one,
// and the lookup is taken up to 0.08 units off the surface, about six texels across the arena.
constexpr int kRegionPadding = 10;

// Maps the light's clip cube [−1, 1]³ onto texture coordinates and depth in [0, 1].
glm::mat4 biasMatrix() {
    const glm::mat4 translation = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f));
    return translation * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
}

glm::mat4 lightSpace(glm::vec3 l) {
    const glm::vec3 eye(kLightDistance * l.x + kLightAim.x,
                        kLightHeightScale * (kLightDistance * l.y) + kLightAim.y,
                        kLightDistance * l.z + kLightAim.z);
    const glm::mat4 view = glm::lookAt(eye, kLightAim, glm::vec3(0.0f, 1.0f, 0.0f));
    return perspectiveDegrees(kLightFovDegrees, 1.0f, kLightNear, kLightFar) * view;
}

} // namespace

glm::mat4 ShadowMap::lightSpaceFor(glm::vec3 lightDirection) {
    return lightSpace(lightDirection);
}

glm::mat4 ShadowMap::textureMatrixFor(glm::vec3 lightDirection) {
    return biasMatrix() * lightSpace(lightDirection);
}

ShadowMap::ShadowMap(glm::vec3 lightDirection, int texels, const Bounds& reach)
    : program(loadShaders(std::string(kShaderDir) + "shadow.vert",
                          std::string(kShaderDir) + "shadow.frag")),
      modelLocation(glGetUniformLocation(program.name(), "M")),
      lightSpaceMatrix(lightSpaceFor(lightDirection)),
      shadowTextureMatrix(textureMatrixFor(lightDirection)), texels(texels), reach(reach) {
    // Fixed for good: set once here.
    glUseProgram(program.name());
    glUniformMatrix4fv(glGetUniformLocation(program.name(), "lightspace"), 1, GL_FALSE,
                       glm::value_ptr(lightSpaceMatrix));
    glUseProgram(0);

    depthTexture = Texture::create();
    glBindTexture(GL_TEXTURE_RECTANGLE, depthTexture.name());
    checkGlError("before texture");
    store();
    glBindTexture(GL_TEXTURE_RECTANGLE, depthTexture.name());
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);

    framebuffer = Framebuffer::create();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_RECTANGLE,
                           depthTexture.name(), 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "SM FBO created successfully" << std::endl;
    } else {
        std::cerr << "error initializing shadow FBO" << std::endl;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void ShadowMap::store() {
    // The nearest and farthest texels under the reach, and the lookup's reach past them.
    glm::vec2 nearest(static_cast<float>(texels));
    glm::vec2 farthest(0.0f);
    for (int i = 0; i < 8; ++i) {
        const glm::vec3 at(i & 1 ? reach.max.x : reach.min.x, i & 2 ? reach.max.y : reach.min.y,
                           i & 4 ? reach.max.z : reach.min.z);
        const glm::vec4 t = shadowTextureMatrix * glm::vec4(at, 1.0f);
        const glm::vec2 texel = glm::vec2(t) / t.w * static_cast<float>(texels);
        nearest = glm::min(nearest, texel);
        farthest = glm::max(farthest, texel);
    }
    const glm::ivec2 end = glm::clamp(glm::ivec2(glm::ceil(farthest)) + kRegionPadding + 1,
                                      glm::ivec2(1), glm::ivec2(texels));
    corner =
        glm::clamp(glm::ivec2(glm::floor(nearest)) - kRegionPadding - 1, glm::ivec2(0), end - 1);
    stored = end - corner;
    glBindTexture(GL_TEXTURE_RECTANGLE, depthTexture.name());
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_DEPTH_COMPONENT, stored.x, stored.y, 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
}

void ShadowMap::resize(int size) {
    if (size == texels) {
        return;
    }
    texels = size;
    store();
}

void ShadowMap::setReach(const Bounds& wanted) {
    if (wanted.min == reach.min && wanted.max == reach.max) {
        return;
    }
    reach = wanted;
    store();
}

TexelRect ShadowMap::regionSeenBy(const glm::mat4& cameraViewProjection,
                                  const Bounds& scene) const {
    return visibleShadowTexels(cameraViewProjection, scene, shadowTextureMatrix, texels,
                               kRegionPadding);
}

void ShadowMap::render(const DrawList& draws, TexelRect region) const {
    const glm::ivec2 from = glm::clamp(glm::ivec2(region.x, region.y), corner, corner + stored);
    const glm::ivec2 to = glm::clamp(glm::ivec2(region.x + region.width, region.y + region.height),
                                     corner, corner + stored);
    if (region.empty() || to.x <= from.x || to.y <= from.y) {
        return;
    }
    PassState state;
    state.framebuffer = framebuffer.name();
    // The whole map's viewport: every texel is drawn exactly where the whole map has it.
    state.viewport = glm::ivec2(texels);
    state.viewportCorner = -corner;
    state.blend = Blend::Off;
    state.polygonOffset = true;
    state.offsetFactor = kPolygonOffsetFactor;
    state.offsetUnits = kPolygonOffsetUnits;
    state.scissor = true;
    state.scissorRect = glm::ivec4(from - corner, to - from);
    // The map must not be bound for sampling while it is rendered into.
    glActiveTexture(GL_TEXTURE0 + kTextureUnit);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
    glActiveTexture(GL_TEXTURE0);
    applyPassState(state);
    glClear(GL_DEPTH_BUFFER_BIT);

    glUseProgram(program.name());
    for (const std::vector<MeshDraw>* list : {&draws.opaque, &draws.seeThrough}) {
        for (const MeshDraw& draw : *list) {
            glUniformMatrix4fv(modelLocation, 1, GL_FALSE, glm::value_ptr(draw.transform));
            for (const Mesh& mesh : draw.model->meshes) {
                mesh.drawPositions();
            }
        }
    }
}
