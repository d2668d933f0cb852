// The scene's shadow map: a depth texture rendered from one fixed, distant light every frame
// and looked up by the lighting program through a depth-comparison sampler.
#include "scene/Scene.h"

#include "app/GlCheck.h"
#include "game/Arena.h"
#include "game/ArenaPiece.h"
#include "game/Bullet.h"
#include "game/BulletSystem.h"
#include "game/Tank.h"
#include "render/Math.h"

#include <iostream>

namespace {

constexpr GLsizei kShadowMapSize = 4096; // texels per side
constexpr glm::vec3 kLightAim(15.0f, 0.0f, -10.0f);
constexpr float kLightDistance = 105.0f;   // units from the aim point along the light
constexpr float kLightHeightScale = 0.35f; // the eye is lowered to this share of its height
constexpr float kLightFovDegrees = 45.0f;
constexpr float kLightNear = 45.0f;
constexpr float kLightFar = 90.0f;
constexpr float kPolygonOffsetFactor = 1.1f;
constexpr float kPolygonOffsetUnits = 4.0f;

// Maps the light's clip cube [−1, 1]³ onto texture coordinates and depth in [0, 1].
glm::mat4 biasMatrix() {
    const glm::mat4 translation = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f));
    return translation * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
}

} // namespace

void Scene::createShadowTarget() {
    glGenTextures(1, &shadowDepthTexture);
    glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
    checkGlError("before texture");
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, kShadowMapSize, kShadowMapSize, 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_CLAMP_TO_EDGE));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);

    glGenFramebuffers(1, &shadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowDepthTexture,
                           0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "SM FBO created successfully" << std::endl;
    } else {
        std::cerr << "error initializing shadow FBO" << std::endl;
    }
}

void Scene::updateLightMatrices() {
    const GLint texMatrixLocation = glGetUniformLocation(lambertPhongProgram, "sm_light_texmat");
    const glm::vec3& l = lightDirection;
    const glm::vec3 eye(kLightDistance * l.x + kLightAim.x,
                        kLightHeightScale * (kLightDistance * l.y) + kLightAim.y,
                        kLightDistance * l.z + kLightAim.z);
    const glm::mat4 lightView = glm::lookAt(eye, kLightAim, glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::mat4 lightProjection =
        perspectiveDegrees(kLightFovDegrees, 1.0f, kLightNear, kLightFar);
    lightSpaceMatrix = lightProjection * lightView;
    shadowTextureMatrix = biasMatrix() * lightSpaceMatrix;
    glUniformMatrix4fv(texMatrixLocation, 1, GL_FALSE, glm::value_ptr(shadowTextureMatrix));
}

void Scene::shadowPass() {
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(kPolygonOffsetFactor, kPolygonOffsetUnits);
    // The map must not be bound for sampling while it is rendered into.
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);

    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glUseProgram(shadowProgram);
    const GLint modelLocation = glGetUniformLocation(shadowProgram, "M");
    const GLint lightSpaceLocation = glGetUniformLocation(shadowProgram, "lightspace");
    glUniformMatrix4fv(lightSpaceLocation, 1, GL_FALSE, glm::value_ptr(lightSpaceMatrix));

    for (Bullet* bullet : bulletSystem->bullets) {
        bullet->drawShadow(shadowProgram, modelLocation);
    }
    for (ArenaPiece* piece : wallList) {
        piece->drawShadow(shadowProgram, modelLocation);
    }
    playerTank->drawShadow(shadowProgram, modelLocation);
    aiTank->drawShadow(shadowProgram, modelLocation);

    glPolygonOffset(0.0f, 0.0f);
    glDisable(GL_POLYGON_OFFSET_FILL);
}
