#include "render/RadarPass.h"

#include "render/AssetPaths.h"
#include "render/PassState.h"
#include "render/ShaderLoader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace {

constexpr GLuint kPixelAttribute = 0;
constexpr GLuint kColourAttribute = 1;
constexpr GLuint kSidesAttribute = 2;
constexpr GLuint kFramedAttribute = 3;
constexpr std::size_t kVerticesPerShape = 6; // two triangles over the grown shape
// The most a frame has: the backdrop with the frame, the pieces, the bullets, the tanks of two
// shapes each and the frame's tick.
constexpr std::size_t kMaxShapes =
    1 + RadarContent::kMaxPieces + RadarContent::kMaxBullets + 2 * RadarContent::kMaxTanks + 1;
constexpr std::size_t kMaxVertices = kMaxShapes * kVerticesPerShape;

// Shapes are drawn this far past their sides, where their coverage fades to nothing.
constexpr float kAntialias = 1.0f; // pixels
// A shape with less area covers no pixel: the arena's pieces when the box model did not load.
constexpr float kSmallestArea = 1.0e-3f; // square pixels
constexpr float kFrameWidth = 2.0f;      // pixels
// The tick hangs from the frame's top into the map: a trapezoid this deep, this wide at the
// frame and at its point.
constexpr float kTickDepth = 6.0f;      // pixels
constexpr float kTickWidth = 10.0f;     // pixels
constexpr float kTickPointWidth = 2.0f; // pixels
constexpr float kBulletHalfSize = 2.0f; // pixels
constexpr float kRim = 1.5f;            // pixels of dark rim around a tank's kite
// A tank's kite in pixels from its position: y along the hull's heading, x to its right.
constexpr float kKiteTip = 10.0f;
constexpr float kKiteTail = 6.0f;
constexpr float kKiteWing = 5.5f;     // to each side
constexpr float kKiteWingBack = 4.0f; // behind the position

const glm::vec2 kMapCentre(RadarPass::kCentreX, RadarPass::kCentreY);

float cross(glm::vec2 a, glm::vec2 b) {
    return a.x * b.y - a.y * b.x;
}

// Twice the signed area: positive when the corners run counter-clockwise.
float doubleArea(const std::array<glm::vec2, 4>& c) {
    return cross(c[0], c[1]) + cross(c[1], c[2]) + cross(c[2], c[3]) + cross(c[3], c[0]);
}

// The square of half size halfSize around centre.
std::array<glm::vec2, 4> square(glm::vec2 centre, float halfSize) {
    return {centre + glm::vec2(-halfSize, -halfSize), centre + glm::vec2(halfSize, -halfSize),
            centre + glm::vec2(halfSize, halfSize), centre + glm::vec2(-halfSize, halfSize)};
}

// From the ground plane to window pixels for one frame's content.
class MapTransform {
public:
    // An arena without extent (its box model did not load) shrinks to the radar's centre.
    explicit MapTransform(const RadarContent& content)
        : centre(content.centre), up(content.up), right(-content.up.y, content.up.x),
          scale(content.radius > 0.0f ? RadarPass::kMapRadius / content.radius : 0.0f) {}

    glm::vec2 turn(glm::vec2 direction) const {
        return {glm::dot(direction, right), glm::dot(direction, up)};
    }
    glm::vec2 pixel(glm::vec2 world) const { return kMapCentre + scale * turn(world - centre); }

private:
    glm::vec2 centre;
    glm::vec2 up;
    glm::vec2 right;
    float scale; // pixels per world unit
};

glm::vec4 pieceColour(const RadarPiece& piece) {
    return piece.kind == PieceKind::Wall
               ? RadarPass::kWallColour
               : RadarPass::kGroundColour + piece.top * RadarPass::kGroundLiftPerUnit;
}

} // namespace

RadarPass::RadarPass()
    : program(loadShaders(std::string(kShaderDir) + "radar.vert",
                          std::string(kShaderDir) + "radar.frag")),
      linked(isLinked(program)), vertexArray(VertexArray::create()),
      vertexBuffer(Buffer::create()) {
    vertices.reserve(kMaxVertices);
    glBindVertexArray(vertexArray.name());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kMaxVertices * sizeof(Vertex)), nullptr,
                 GL_STREAM_DRAW);
    const auto attribute = [](GLuint index, GLint components, std::size_t offset) {
        glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offset));
        glEnableVertexAttribArray(index);
    };
    attribute(kPixelAttribute, 2, offsetof(Vertex, pixel));
    attribute(kColourAttribute, 4, offsetof(Vertex, colour));
    attribute(kSidesAttribute, 4, offsetof(Vertex, sides));
    attribute(kFramedAttribute, 1, offsetof(Vertex, framed));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    if (linked) {
        // Fixed for good: set once here.
        glUseProgram(program.name());
        glUniform4fv(glGetUniformLocation(program.name(), "frameColour"), 1, &kFrameColour[0]);
        glUseProgram(0);
    }
}

float RadarPass::scaleIn(glm::ivec2 window) {
    // Scaled as far as the window holds the layout.
    return std::min(static_cast<float>(window.x) / kWindowWidth,
                    static_cast<float>(window.y) / kWindowHeight);
}

glm::vec2 RadarPass::offsetIn(glm::ivec2 window) {
    // Kept to the window's bottom-right corner.
    return glm::vec2(static_cast<float>(window.x) - scaleIn(window) * kWindowWidth, 0.0f);
}

bool RadarPass::covers(glm::ivec2 window, glm::vec2 pixel) {
    const float scale = scaleIn(window);
    const glm::vec2 offset = glm::abs(pixel - (offsetIn(window) + scale * kMapCentre));
    return std::max(offset.x, offset.y) <= scale * kRadius;
}

void RadarPass::placeIn(glm::ivec2 window) {
    placedIn = window;
    scale = scaleIn(window);
    offset = offsetIn(window);
    glUseProgram(program.name());
    glUniform2f(glGetUniformLocation(program.name(), "halfWindow"), window.x / 2.0f,
                window.y / 2.0f);
    const glm::vec2 centre = offset + scale * kMapCentre;
    glUniform2f(glGetUniformLocation(program.name(), "centre"), centre.x, centre.y);
    glUniform1f(glGetUniformLocation(program.name(), "radius"), scale * kRadius);
    glUniform1f(glGetUniformLocation(program.name(), "frameWidth"), scale * kFrameWidth);
}

void RadarPass::addShape(const std::array<glm::vec2, 4>& corners, glm::vec4 colour, float grow,
                         bool framed) {
    const float area = doubleArea(corners);
    if (std::abs(area) < 2.0f * kSmallestArea) {
        return;
    }
    // Side i runs from corner i to the next; its unit normal points out of the shape, to the
    // right of a counter-clockwise side.
    const float outward = area > 0.0f ? 1.0f : -1.0f;
    std::array<glm::vec2, 4> normals;
    for (std::size_t i = 0; i < normals.size(); ++i) {
        const glm::vec2 along = glm::normalize(corners[(i + 1) % 4] - corners[i]);
        normals[i] = outward * glm::vec2(along.y, -along.x);
    }
    const auto sides = [&](glm::vec2 p) {
        glm::vec4 inside;
        for (int i = 0; i < 4; ++i) {
            inside[i] = grow - glm::dot(normals[i], p - corners[i]);
        }
        return inside;
    };
    // Drawn over the shape grown by grow and the band where it fades: each corner moves out
    // so that both of its sides move out by that much.
    const float reach = grow + kAntialias;
    std::array<glm::vec2, 4> drawn;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const glm::vec2 before = normals[(i + 3) % 4];
        drawn[i] =
            corners[i] + reach * (before + normals[i]) / (1.0f + glm::dot(before, normals[i]));
    }
    for (const std::size_t i : {0, 1, 2, 0, 2, 3}) {
        vertices.push_back({drawn[i], colour, sides(drawn[i]), framed ? 1.0f : 0.0f});
    }
}

void RadarPass::addMark(glm::vec2 at, glm::vec2 facing, glm::vec4 colour) {
    const glm::vec2 right(facing.y, -facing.x);
    const std::array<glm::vec2, 4> kite = {
        at + kKiteTip * facing, at - kKiteWingBack * facing - kKiteWing * right,
        at - kKiteTail * facing, at - kKiteWingBack * facing + kKiteWing * right};
    addShape(kite, kOutlineColour, kRim);
    addShape(kite, colour);
}

void RadarPass::draw(const RadarContent& content, glm::ivec2 window) {
    if (!linked) {
        return;
    }
    if (window != placedIn) {
        placeIn(window);
    }
    vertices.clear();
    const MapTransform map(content);
    // The backdrop's own sides lie outside the disc the program cuts it to. The frame is its
    // outer band, out of reach of what is drawn over it: the arena's circle ends kMapRadius from
    // the centre, a kite's tip a little further.
    addShape(square(kMapCentre, kRadius + kAntialias), kBackdropColour, 0.0f, true);
    for (const PieceKind kind : {PieceKind::Ground, PieceKind::Wall}) {
        for (const RadarPiece& piece : content.pieces) {
            if (piece.kind == kind) {
                std::array<glm::vec2, 4> corners;
                std::transform(piece.corners.begin(), piece.corners.end(), corners.begin(),
                               [&map](glm::vec2 corner) { return map.pixel(corner); });
                addShape(corners, pieceColour(piece));
            }
        }
    }
    for (const glm::vec2& bullet : content.bullets) {
        addShape(square(map.pixel(bullet), kBulletHalfSize), kBulletColour);
    }
    for (const RadarTank& tank : content.tanks) {
        addMark(map.pixel(tank.position), map.turn(tank.facing), tank.colour);
    }
    const glm::vec2 top = kMapCentre + glm::vec2(0.0f, kRadius - kFrameWidth / 2.0f);
    const glm::vec2 point = top - glm::vec2(0.0f, kTickDepth);
    addShape(
        {top - glm::vec2(kTickWidth / 2.0f, 0.0f), point - glm::vec2(kTickPointWidth / 2.0f, 0.0f),
         point + glm::vec2(kTickPointWidth / 2.0f, 0.0f), top + glm::vec2(kTickWidth / 2.0f, 0.0f)},
        kFrameColour);

    // Laid out for a window of the size the game opens at; placed in this one.
    for (Vertex& vertex : vertices) {
        vertex.pixel = offset + scale * vertex.pixel;
        vertex.sides *= scale;
    }
    const glm::vec2 corner = offset + scale * (kMapCentre - glm::vec2(kRadius));
    PassState state;
    state.viewport = window;
    state.depthTest = false;
    state.depthWrite = false;
    state.cullBackFaces = false;
    // Nothing is drawn outside the radar's square.
    state.scissor = true;
    state.scissorRect =
        glm::ivec4(static_cast<int>(std::floor(corner.x)), static_cast<int>(std::floor(corner.y)),
                   static_cast<int>(std::ceil(scale * 2.0f * kRadius)),
                   static_cast<int>(std::ceil(scale * 2.0f * kRadius)));
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
