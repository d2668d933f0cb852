#pragma once

#include "render/BackgroundQuad.h"
#include "render/GlObject.h"

#include <glm/glm.hpp>

// The background picture as a frame paints it into the scene's targets (at the presets that
// do): drawn once at the targets' size into a texture of its own, then copied into the colour
// target every frame. The picture's filtered reads are paid once, not every frame, and the
// frame is the same. Redrawn whenever the targets' size or the picture's filters change.
class BackgroundCopy {
public:
    // Makes the texture and framebuffer, without storage.
    BackgroundCopy();

    // Draws background into the copy at size pixels, as MainPass paints it; a size of (0, 0)
    // lets the storage go. Leaves the default framebuffer bound.
    void redraw(const BackgroundQuad& background, glm::ivec2 size);
    // Copies the whole copy into colour attachment 0 of framebuffer, at the same size, as the
    // only draw buffer; the caller sets the draw buffers back.
    void copyInto(GLuint framebuffer) const;

    glm::ivec2 size() const { return pixels; }

private:
    Texture texture;
    Framebuffer framebuffer;
    glm::ivec2 pixels{0};
};
