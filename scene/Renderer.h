#pragma once

#include "game/Bounds.h"
#include "particles/ParticleEffects.h"
#include "platform/WindowSize.h"
#include "render/AimMarkPass.h"
#include "render/BackgroundCopy.h"
#include "render/BackgroundQuad.h"
#include "render/DrawList.h"
#include "render/FinalPass.h"
#include "render/MainPass.h"
#include "render/RadarPass.h"
#include "render/RenderQuality.h"
#include "render/ShadowMap.h"
#include "render/TextRenderer.h"
#include "scene/FrameObserver.h"
#include "scene/LoadingScreen.h"
#include "scene/SceneModels.h"
#include "scene/SceneTextures.h"
#include "scene/ScreenTexts.h"

#include <glm/glm.hpp>

// What one frame shows.
struct FrameContent {
    const DrawList& draws;
    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    float darken = 1.0f;          // brightness of the whole picture
    bool wireframe = false;       // the main pass as lines
    float particleSeconds = 0.0f; // how far the particle bursts advance
    const ScreenTexts& texts;
    Bounds scene;                        // a box around everything that can be drawn
    const RadarContent* radar = nullptr; // drawn over the picture when set
    const AimMarks* aim = nullptr;       // drawn over the picture and the radar when set
};

// What the renderer is first made for: the window's size in pixels, the detail, and a box
// around everything that can be drawn (only the part of the shadow map under it is kept).
struct RenderSetup {
    glm::ivec2 window{kWindowWidth, kWindowHeight};
    RenderQuality quality;
    Bounds reach;
};

// Draws the frames: the shadow pass, the lit main pass into the scene's targets (solid models
// front to back, see-through ones, then the particle bursts), the screen pass over the
// background picture, the radar and the aiming marks when the frame has them, and the text
// layer. Owns every pass, the particle bursts and what the scene is drawn with.
//
// The members are made in the order the game has always read its files: the font and the text
// program; the five scene textures; the background, lit and shadow programs (and the shadow
// map, with its line); the final pass; the models and the arena's own textures; the particle
// programs; then the background quad prints its "texSampler" line. The radar's program and the
// aiming marks', which the game gained later, come after all of them. Once the text has loaded,
// the loading screen shows the title between one member and the next.
class Renderer {
public:
    // lightDirection points towards the sun (unit length). The targets and the shadow map are
    // made at once as setup wants them.
    Renderer(glm::vec3 lightDirection, unsigned int particleSeed, const RenderSetup& setup,
             LoadingScreen& loading);

    // The window's size in pixels and the detail to draw with, before each frame. The scene's
    // targets and the shadow map are resized only when these change, making no GL object.
    void setView(glm::ivec2 window, const RenderQuality& quality);
    // The background picture's filters changed: what the frames copy of it is drawn again.
    void backgroundChanged();
    // Whether a frame can be drawn: a minimised window has no pixels.
    bool drawable() const { return windowSize.x > 0 && windowSize.y > 0; }

    // Draws the frame into the window's back buffer, telling observer (when not null) where
    // each phase begins. Leaves the default framebuffer bound, texture unit 0 active, faces
    // filled, no polygon offset, the whole window as viewport, depth test, culling and
    // blending on. Draws nothing, and makes no GL call, when the window has no pixels.
    void render(const FrameContent& frame, FrameObserver* observer);
    // Draws one part of frame (0 to 6: the shadow pass, the main pass's solid models, the main
    // pass with every model see-through too, a spark of a burst's first step, of a later step,
    // the screen pass, the radar and both aiming marks) as a frame would, into targets the
    // window does not show but the last: the driver prepares each kind of draw when it is
    // first made, which can take longer than a frame, and had better do it while the loading
    // screen is over the window, a part a frame. The particle bursts are left as they were.
    // True while parts are left after this one; with no pixels to draw, nothing is done but
    // true.
    bool rehearse(const FrameContent& frame, int part);

    TextRenderer text;
    SceneTextures textures;
    Program backgroundProgram;
    MainPass mainPass;
    ShadowMap shadowMap;
    FinalPass finalPass;
    SceneModels models;
    ParticleEffects particles;
    BackgroundQuad background;
    RadarPass radarPass;
    AimMarkPass aimMarkPass;
    BackgroundCopy backgroundCopy; // the background at the targets' size, when they hold it

private:
    // What of the main pass a rehearsal draws: the solid models; or those and every model
    // see-through as well. Either leaves the bursts to parts of their own.
    enum class MainRehearsal { None, Solid, SeeThrough };
    // The passes of a frame, in order.
    void drawShadow(const FrameContent& frame);
    void drawMain(const FrameContent& frame, MainRehearsal rehearsal);
    void drawScreen(const FrameContent& frame);
    void drawOverlays(const FrameContent& frame); // the radar and the aiming marks
    void drawText(const FrameContent& frame);

    glm::ivec2 windowSize;
    RenderQuality quality;
};
