#include "render/MainPass.h"

#include "platform/GlCheck.h"
#include "render/AssetPaths.h"
#include "render/BackgroundCopy.h"
#include "render/FinalPass.h"
#include "render/PassState.h"
#include "render/ShaderLoader.h"

#include <glm/gtc/type_ptr.hpp>

#include <iostream>
#include <string>

namespace {
constexpr GLenum kDrawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};

// A target on attachment, left bound; its storage comes with the pass's size. The glow target
// is read through the final pass's own sampler, so only the colour target's filter matters,
// and without mip levels it keeps the texture complete.
Texture makeTarget(GLenum attachment) {
    Texture texture = Texture::create();
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture.name(), 0);
    return texture;
}

void storeTarget(const Texture& texture, glm::ivec2 pixels) {
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, pixels.x, pixels.y, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
}

PassState mainPassState(GLuint framebuffer, glm::ivec2 size, Blend blend, bool depthWrite,
                        bool wireframe) {
    PassState state;
    state.framebuffer = framebuffer;
    state.viewport = size;
    state.blend = blend;
    state.depthWrite = depthWrite;
    state.wireframe = wireframe;
    return state;
}
} // namespace

MainPass::MainPass(glm::vec3 lightDirection, glm::ivec2 pixels, bool belowWindowSize)
    : framebuffer(Framebuffer::create()),
      program(loadShaders(std::string(kShaderDir) + "lambertphong.vert",
                          std::string(kShaderDir) + "lambertphong.frag")),
      viewLocation(glGetUniformLocation(program.name(), "V")),
      projectionLocation(glGetUniformLocation(program.name(), "P")),
      modelLocation(glGetUniformLocation(program.name(), "M")),
      alphaLocation(glGetUniformLocation(program.name(), "alpha")),
      mapTexelsLocation(glGetUniformLocation(program.name(), "shadow_map_texels")),
      mapCornerLocation(glGetUniformLocation(program.name(), "shadow_map_corner")),
      materialUniforms(program.name()) {
    // Fixed for good: set once here.
    glUseProgram(program.name());
    glUniform3fv(glGetUniformLocation(program.name(), "lightdir_world"), 1,
                 glm::value_ptr(lightDirection));
    glUniformMatrix4fv(glGetUniformLocation(program.name(), "sm_light_texmat"), 1, GL_FALSE,
                       glm::value_ptr(ShadowMap::textureMatrixFor(lightDirection)));
    glUniform1i(glGetUniformLocation(program.name(), "shadow_map"), ShadowMap::kTextureUnit);
    glUseProgram(0);

    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
    depth = Renderbuffer::create();
    glBindRenderbuffer(GL_RENDERBUFFER, depth.name());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth.name());
    colour = makeTarget(kDrawBuffers[0]);
    glow = makeTarget(kDrawBuffers[1]);
    // The final pass makes the glow's mip levels each frame, only those it reads.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, FinalPass::kGlowMaxLevel);
    glDrawBuffers(2, kDrawBuffers);
    resize(pixels, belowWindowSize);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "ERROR SETTING UP FBO, NOT FINISHED!" << std::endl;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void MainPass::resize(glm::ivec2 pixels, bool belowWindowSize) {
    targetSize = pixels;
    glBindRenderbuffer(GL_RENDERBUFFER, depth.name());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, pixels.x, pixels.y);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    storeTarget(colour, pixels);
    const GLint filter = belowWindowSize ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    storeTarget(glow, pixels);
    // The driver readies the making of a target's mip levels the first time it is asked to,
    // which takes longer than a frame (some 75 ms on the development machine): asked here, with
    // the storage, it does so while the game loads behind its title rather than in the first
    // frame that glows. Every frame that glows makes the levels again before it reads them.
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void MainPass::drawBackground(const BackgroundCopy& background) const {
    background.copyInto(framebuffer.name());
    glDrawBuffers(2, kDrawBuffers);
}

void MainPass::begin(const glm::mat4& view, const glm::mat4& projection, bool lines,
                     const ShadowMap& shadowMap) {
    wireframe = lines;
    applyPassState(mainPassState(framebuffer.name(), targetSize, Blend::Off, true, wireframe));
    // Transparent black wherever nothing is drawn: the final pass shows the background there.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    checkGlError("before setting shader arguments");
    glUseProgram(program.name());
    glUniformMatrix4fv(viewLocation, 1, GL_FALSE, glm::value_ptr(view));
    glUniformMatrix4fv(projectionLocation, 1, GL_FALSE, glm::value_ptr(projection));
    if (shadowMap.size() != mapTexels) {
        mapTexels = shadowMap.size();
        glUniform1f(mapTexelsLocation, static_cast<float>(mapTexels));
    }
    if (shadowMap.storedCorner() != mapCorner) {
        mapCorner = shadowMap.storedCorner();
        glUniform2f(mapCornerLocation, static_cast<float>(mapCorner.x),
                    static_cast<float>(mapCorner.y));
    }
    glActiveTexture(GL_TEXTURE0 + ShadowMap::kTextureUnit);
    glBindTexture(GL_TEXTURE_RECTANGLE, shadowMap.depthTexture.name());
    glActiveTexture(GL_TEXTURE0);
}

void MainPass::blendOver() const {
    applyPassState(mainPassState(framebuffer.name(), targetSize, Blend::Over, true, wireframe));
}

void MainPass::blendWithoutDepth() const {
    applyPassState(mainPassState(framebuffer.name(), targetSize, Blend::Over, false, wireframe));
}

void MainPass::draw(const std::vector<MeshDraw>& draws) const {
    glUseProgram(program.name());
    const Material* applied = nullptr;
    for (const MeshDraw& draw : draws) {
        if (draw.material != applied) {
            draw.material->apply(materialUniforms);
            applied = draw.material;
        }
        glUniformMatrix4fv(modelLocation, 1, GL_FALSE, glm::value_ptr(draw.transform));
        glUniform1f(alphaLocation, draw.alpha);
        for (const Mesh& mesh : draw.model->meshes) {
            mesh.draw();
        }
    }
}
