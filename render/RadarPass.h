#pragma once

#include "platform/WindowSize.h"
#include "render/GlObject.h"
#include "render/RadarContent.h"

#include <glm/glm.hpp>

#include <array>
#include <vector>

// Draws the radar over the finished picture: a round map in the window's bottom-right corner,
// above the lives line (the corner the opening view shows nothing of the enemy in), with
// the arena's visible pieces (ground slabs shaded by height, walls light), the bullets as dots
// and each tank as a kite pointing along its hull, inside a thin frame with a tick at the top.
// The map is turned so that content.up points up, and scaled so that the content's circle
// fills kMapRadius: in the pixels of a window of the size the game opens at, from the
// bottom-left, a world point p lands at
//     (kCentreX, kCentreY) + kMapRadius / content.radius × (dot(d, right), dot(d, up)),
// where d = p − content.centre and right = (−up.y, up.x), all as (x, z) pairs: right is the
// camera's right when up is the way it looks (looking along −z, right is +x). In a window of
// another size all of it scales with the window, as far as the window holds the layout, and
// keeps to the bottom-right corner.
//
// Uses its program from "radar.vert"/"radar.frag"; when that failed to link it draws nothing.
// Every GL object is made at construction: a frame only refills the one vertex buffer.
class RadarPass {
public:
    static constexpr float kRadius = 100.0f; // pixels, to the outer edge of the frame
    static constexpr float kMargin = 16.0f;  // pixels from the window's right edge
    static constexpr float kBottom = 76.0f;  // pixels from its bottom: clear of the lives line
    static constexpr float kCentreX = kWindowWidth - kMargin - kRadius; // pixels, 908
    static constexpr float kCentreY = kBottom + kRadius;                // pixels, 176
    static constexpr float kMapRadius = 92.0f; // pixels: the content's circle, inside the frame

    // The colours (alpha: opacity) the radar draws with.
    static inline const glm::vec4 kBulletColour{1.0f, 0.9f, 0.5f, 1.0f};
    static inline const glm::vec4 kWallColour{0.8f, 0.78f, 0.7f, 0.95f};
    // Ground at height 0, lighter by kGroundLiftPerUnit for each unit its top stands higher.
    static inline const glm::vec4 kGroundColour{0.2f, 0.26f, 0.18f, 0.88f};
    static inline const glm::vec4 kGroundLiftPerUnit{0.1f, 0.1f, 0.07f, 0.0f};
    static inline const glm::vec4 kBackdropColour{0.04f, 0.06f, 0.07f, 0.7f};
    static inline const glm::vec4 kFrameColour{0.75f, 0.85f, 0.8f, 0.85f};
    static inline const glm::vec4 kOutlineColour{0.02f, 0.03f, 0.03f, 0.9f};

    // Needs a current GL context; compiles and links the radar program.
    RadarPass();

    // Whether a pixel of a window of the given size lies in the radar's square.
    static bool covers(glm::ivec2 window, glm::vec2 pixel);

    // Draws into a window of the given size in pixels, setting the state it needs; leaves no
    // program, vertex array or buffer bound.
    void draw(const RadarContent& content, glm::ivec2 window);

    Program program;
    bool linked = false;

private:
    // One corner of what a shape is drawn over: the shape grown by its fading band.
    struct Vertex {
        glm::vec2 pixel;  // window pixels, from the bottom-left
        glm::vec4 colour; // where the shape covers the pixel whole
        glm::vec4 sides;  // signed distances in pixels to the grown shape's sides, inside > 0
        float framed;     // 1: the frame's colour covers the outer band of the radar's disc
    };

    // Adds a convex quadrilateral (corners in window pixels, either winding) grown outwards by
    // grow pixels; a framed one shows the frame where it reaches the disc's outer band.
    void addShape(const std::array<glm::vec2, 4>& corners, glm::vec4 colour, float grow = 0.0f,
                  bool framed = false);
    // A tank's kite with its dark rim; at and facing in window pixels.
    void addMark(glm::vec2 at, glm::vec2 facing, glm::vec4 colour);

    // Sets the uniforms that follow the window's size.
    void placeIn(glm::ivec2 window);
    // Where the layout lands in a window: its scale, and the offset of its bottom-left corner.
    static float scaleIn(glm::ivec2 window);
    static glm::vec2 offsetIn(glm::ivec2 window);

    VertexArray vertexArray;
    Buffer vertexBuffer;
    std::vector<Vertex> vertices; // the frame's shapes, reserved for the most there can be
    glm::ivec2 placedIn{0};       // the window size the uniforms were set for
    float scale = 1.0f;           // window pixels per layout pixel
    glm::vec2 offset{0.0f};       // of the layout from the window's bottom-left, pixels
};
