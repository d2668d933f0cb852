#pragma once

#include "render/DrawList.h"
#include "render/GlObject.h"
#include "render/Material.h"
#include "render/ShadowMap.h"

#include <glm/glm.hpp>

// The lit, shadowed 3D scene, drawn off screen with the program from
// "lambertphong.vert"/"lambertphong.frag" into two targets of one size (the window's, or a
// share of it that the final pass blows up): the colour target (lit colour, alpha = coverage)
// and the glow target (what blooms). Owns the framebuffer, its targets and depth buffer, and
// the program.
class MainPass {
public:
    // Loads the program, giving it for good the light (lightDirection points towards it, unit
    // length) and the matrix and unit of the light's shadow map, then makes the targets at the
    // given size (see resize), printing "ERROR SETTING UP FBO, NOT FINISHED!" when the
    // framebuffer is incomplete.
    MainPass(glm::vec3 lightDirection, glm::ivec2 pixels, bool belowWindowSize);

    // Gives the targets another size in pixels, making no new GL object. Targets smaller than
    // the window are read filtered, so that blown up they show no blocks; at the window's size
    // each pixel reads its own texel.
    void resize(glm::ivec2 pixels, bool belowWindowSize);
    glm::ivec2 size() const { return targetSize; }

    // Starts the pass for solid models: binds and clears the targets, sets the camera on the
    // program (checked as "before setting shader arguments") and binds the light's shadow map
    // on its unit, telling the program its side when it changed; draws replace what they
    // cover. Wireframe draws lines instead of faces.
    void begin(const glm::mat4& view, const glm::mat4& projection, bool wireframe,
               const ShadowMap& shadowMap);
    // Paints the background into the colour target (the glow target stays dark), for a frame
    // whose background is drawn at the targets' size rather than over the whole window: a copy
    // of it at the targets' size. Changes no state the pass draws with.
    void drawBackground(const class BackgroundCopy& background) const;
    // From here on draws blend over what is there (see-through models).
    void blendOver() const;
    // From here on draws blend and leave the depth buffer alone (the particle bursts, which
    // must not hide what is drawn behind them).
    void blendWithoutDepth() const;
    // Draws the models, each with its transform, material and opacity.
    void draw(const std::vector<MeshDraw>& draws) const;

    GLuint colourTarget() const { return colour.name(); }
    GLuint glowTarget() const { return glow.name(); }

    Framebuffer framebuffer;
    Program program;

private:
    Renderbuffer depth;
    Texture colour;
    Texture glow;
    GLint viewLocation;
    GLint projectionLocation;
    GLint modelLocation;
    GLint alphaLocation;
    GLint mapTexelsLocation;
    int mapTexels = 0; // the shadow map's side the program was last given
    GLint mapCornerLocation;
    glm::ivec2 mapCorner{-1}; // the shadow map's stored corner the program was last given
    MaterialUniforms materialUniforms;
    bool wireframe = false;
    glm::ivec2 targetSize{0};
};
