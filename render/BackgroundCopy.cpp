#include "render/BackgroundCopy.h"

#include "render/PassState.h"

BackgroundCopy::BackgroundCopy() : texture(Texture::create()), framebuffer(Framebuffer::create()) {
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.name());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.name(), 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void BackgroundCopy::redraw(const BackgroundQuad& background, glm::ivec2 size) {
    pixels = size;
    glBindTexture(GL_TEXTURE_2D, texture.name());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size.x, size.y, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (size.x > 0 && size.y > 0) {
        // The state MainPass paints the background with: opaque, no depth.
        PassState state;
        state.framebuffer = framebuffer.name();
        state.viewport = size;
        state.blend = Blend::Off;
        state.depthTest = false;
        state.depthWrite = false;
        applyPassState(state);
        background.draw();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void BackgroundCopy::copyInto(GLuint target) const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer.name());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glBlitFramebuffer(0, 0, pixels.x, pixels.y, 0, 0, pixels.x, pixels.y, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
}
