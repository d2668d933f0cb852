#pragma once

#include "platform/WindowSize.h"
#include "render/AimMarks.h"
#include "render/GlObject.h"

#include <glm/glm.hpp>

#include <vector>

// Draws the aiming marks over the finished picture: the crosshair, four short bars around a
// gap with a dot in the middle, light with a dark rim so that it shows on sky, wall and ground
// alike; and the hull's marker, an arrowhead in the player's colour. Sized for a window of the
// size the game opens at and scaled with the window as the texts are; centred on the points
// the marks give, so the crosshair's middle is exactly its point.
//
// Uses its program from "marks.vert"/"marks.frag"; when that failed to link it draws nothing.
// Every GL object is made at construction: a frame only refills the one vertex buffer.
class AimMarkPass {
public:
    static constexpr float kGap = 5.0f;       // pixels from the crosshair's middle to its bars
    static constexpr float kArm = 9.0f;       // pixels each bar reaches past the gap
    static constexpr float kThickness = 2.0f; // pixels across a bar
    static constexpr float kRim = 1.0f;       // pixels of dark rim around each shape
    static inline const glm::vec4 kCrosshairColour{0.96f, 0.97f, 0.9f, 0.95f};
    static inline const glm::vec4 kHullColour{0.25f, 0.8f, 1.0f, 0.9f};
    static inline const glm::vec4 kRimColour{0.02f, 0.03f, 0.03f, 0.7f};

    // Needs a current GL context; compiles and links the marks' program.
    AimMarkPass();

    // Draws into a window of the given size in pixels, setting the state it needs; leaves no
    // program, vertex array or buffer bound.
    void draw(const AimMarks& marks, glm::ivec2 window);

    Program program;
    bool linked = false;

private:
    struct Vertex {
        glm::vec2 pixel;
        glm::vec4 colour;
    };
    // An axis-aligned box from its middle and half size, in window pixels.
    void addBox(glm::vec2 middle, glm::vec2 half, glm::vec4 colour);
    void addTriangle(glm::vec2 a, glm::vec2 b, glm::vec2 c, glm::vec4 colour);

    VertexArray vertexArray;
    Buffer vertexBuffer;
    std::vector<Vertex> vertices; // the frame's triangles, reserved for the most there can be
    glm::ivec2 placedIn{0};       // the window size the program was set for
};
