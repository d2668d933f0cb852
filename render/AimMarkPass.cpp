#include "render/AimMarkPass.h"

#include "render/AssetPaths.h"
#include "render/PassState.h"
#include "render/ShaderLoader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

namespace {
constexpr GLuint kPixelAttribute = 0;
constexpr GLuint kColourAttribute = 1;
constexpr std::size_t kVerticesPerBox = 6;
// The crosshair's four bars and dot, each with its rim, and the arrowhead with its rim.
constexpr std::size_t kMaxVertices = 2 * 5 * kVerticesPerBox + 2 * 3;
// The hull's arrowhead, in pixels: from its middle to its tip, to its back, and half its width.
constexpr float kArrowTip = 12.0f;
constexpr float kArrowBack = 6.0f;
constexpr float kArrowHalfWidth = 5.0f;
} // namespace

AimMarkPass::AimMarkPass()
    : program(loadShaders(std::string(kShaderDir) + "marks.vert",
                          std::string(kShaderDir) + "marks.frag")),
      linked(isLinked(program)), vertexArray(VertexArray::create()),
      vertexBuffer(Buffer::create()) {
    vertices.reserve(kMaxVertices);
    glBindVertexArray(vertexArray.name());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kMaxVertices * sizeof(Vertex)), nullptr,
                 GL_STREAM_DRAW);
    glVertexAttribPointer(kPixelAttribute, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, pixel)));
    glVertexAttribPointer(kColourAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    glEnableVertexAttribArray(kPixelAttribute);
    glEnableVertexAttribArray(kColourAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void AimMarkPass::addBox(glm::vec2 middle, glm::vec2 half, glm::vec4 colour) {
    const glm::vec2 low = middle - half;
    const glm::vec2 high = middle + half;
    for (const glm::vec2& corner :
         {low, glm::vec2(high.x, low.y), high, low, high, glm::vec2(low.x, high.y)}) {
        vertices.push_back({corner, colour});
    }
}

void AimMarkPass::addTriangle(glm::vec2 a, glm::vec2 b, glm::vec2 c, glm::vec4 colour) {
    for (const glm::vec2& corner : {a, b, c}) {
        vertices.push_back({corner, colour});
    }
}

void AimMarkPass::draw(const AimMarks& marks, glm::ivec2 window) {
    if (!linked || (!marks.crosshair && !marks.hull)) {
        return;
    }
    // As large as the texts are in this window.
    const glm::vec2 size(window);
    const float scale = std::min(size.x / kWindowWidth, size.y / kWindowHeight);
    vertices.clear();
    if (marks.crosshair) {
        const float gap = scale * kGap;
        const float arm = scale * kArm;
        const float thick = scale * kThickness * 0.5f;
        const float rim = scale * kRim;
        const glm::vec2 at = marks.crosshairAt;
        const float reach = gap + arm * 0.5f;
        const std::array<glm::vec2, 5> middles = {
            at + glm::vec2(reach, 0.0f), at - glm::vec2(reach, 0.0f), at + glm::vec2(0.0f, reach),
            at - glm::vec2(0.0f, reach), at};
        const std::array<glm::vec2, 5> halves = {
            glm::vec2(arm * 0.5f, thick), glm::vec2(arm * 0.5f, thick),
            glm::vec2(thick, arm * 0.5f), glm::vec2(thick, arm * 0.5f), glm::vec2(thick, thick)};
        for (std::size_t i = 0; i < middles.size(); ++i) {
            addBox(middles[i], halves[i] + glm::vec2(rim), kRimColour);
        }
        for (std::size_t i = 0; i < middles.size(); ++i) {
            addBox(middles[i], halves[i], kCrosshairColour);
        }
    }
    if (marks.hull) {
        const glm::vec2 ahead = marks.hullFacing;
        const glm::vec2 side(ahead.y, -ahead.x);
        const auto arrow = [&](float grow, glm::vec4 colour) {
            const glm::vec2 at = marks.hullAt;
            addTriangle(
                at + ahead * (scale * kArrowTip + 2.0f * grow),
                at - ahead * (scale * kArrowBack + grow) - side * (scale * kArrowHalfWidth + grow),
                at - ahead * (scale * kArrowBack + grow) + side * (scale * kArrowHalfWidth + grow),
                colour);
        };
        arrow(scale * kRim, kRimColour);
        arrow(0.0f, kHullColour);
    }

    if (window != placedIn) {
        placedIn = window;
        glUseProgram(program.name());
        glUniform2f(glGetUniformLocation(program.name(), "halfWindow"), window.x / 2.0f,
                    window.y / 2.0f);
    }
    PassState state;
    state.viewport = window;
    state.depthTest = false;
    state.depthWrite = false;
    state.cullBackFaces = false;
    applyPassState(state);
    glUseProgram(program.name());
    glBindVertexArray(vertexArray.name());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                    vertices.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    glUseProgram(0);
}
