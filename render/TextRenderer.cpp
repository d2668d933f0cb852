#include "render/TextRenderer.h"

#include "platform/WindowSize.h"
#include "render/AssetPaths.h"
#include "render/PassState.h"
#include "render/ShaderLoader.h"
#include "render/TextureLoader.h"

#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr float kAdvancePerSize = 0.8f; // glyph width over glyph height
constexpr int kAtlasColumns = 16;       // cells per atlas row
constexpr float kCellSize = 0.0625f;    // one cell, in texture coordinates
constexpr GLint kAtlasUnit = 0;
constexpr GLuint kPositionAttribute = 0;
constexpr GLuint kUvAttribute = 1;
constexpr GLint kComponents = 2;
constexpr size_t kCornersPerGlyph = 6;  // two triangles per character quad
constexpr size_t kReservedGlyphs = 128; // longer than any line the game draws
// Room for all the lines of a screen: more lines than it shows, each as long as the longest.
constexpr size_t kReservedScreenGlyphs = 32 * 64;

GLsizeiptr byteSize(const std::vector<glm::vec2>& values) {
    return static_cast<GLsizeiptr>(values.size() * sizeof(glm::vec2));
}

} // namespace

void layoutText(const char* text, int x, int y, int size, TextLayout& layout) {
    layout.positions.clear();
    layout.uvs.clear();
    appendText(text, x, y, size, layout);
}

void appendText(const char* text, int x, int y, int size, TextLayout& layout) {
    const size_t length = std::strlen(text);
    const float advance = kAdvancePerSize * static_cast<float>(size);
    const float top = static_cast<float>(y + size);
    const float bottom = static_cast<float>(y);
    layout.positions.reserve(layout.positions.size() + length * kCornersPerGlyph);
    layout.uvs.reserve(layout.uvs.size() + length * kCornersPerGlyph);
    for (size_t i = 0; i < length; ++i) {
        const float left = static_cast<float>(x) + static_cast<float>(i) * advance;
        const float right = left + advance;
        layout.positions.insert(layout.positions.end(), {{left, top},
                                                         {left, bottom},
                                                         {right, top},
                                                         {right, bottom},
                                                         {right, top},
                                                         {left, bottom}});

        const int code = static_cast<signed char>(text[i]);
        const float u = static_cast<float>(code % kAtlasColumns) * kCellSize;
        const float v = static_cast<float>(code / kAtlasColumns) * kCellSize;
        // The atlas's rows count from the top of the image, texture t from its bottom.
        const float cellTop = 1.0f - v;
        const float cellBottom = 1.0f - (v + kCellSize);
        layout.uvs.insert(layout.uvs.end(), {{u, cellTop},
                                             {u, cellBottom},
                                             {u + kCellSize, cellTop},
                                             {u + kCellSize, cellBottom},
                                             {u + kCellSize, cellTop},
                                             {u, cellBottom}});
    }
}

int textWidth(const char* text, int size) {
    return static_cast<int>(static_cast<float>(std::strlen(text)) * kAdvancePerSize *
                            static_cast<float>(size));
}

TextRenderer::TextRenderer()
    : fontTexture(loadTexture((std::string(kTextureDir) + "font.tga").c_str())),
      textProgram(loadShaders(std::string(kShaderDir) + "text.vert",
                              std::string(kShaderDir) + "text.frag")),
      samplerLocation(glGetUniformLocation(textProgram.name(), "myTextureSampler")),
      opacityLocation(glGetUniformLocation(textProgram.name(), "opacity")),
      vertexArray(VertexArray::create()), vertexBuffer(Buffer::create()),
      uvBuffer(Buffer::create()) {
    glBindVertexArray(vertexArray.name());
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glVertexAttribPointer(kPositionAttribute, kComponents, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer.name());
    glVertexAttribPointer(kUvAttribute, kComponents, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(kPositionAttribute);
    glEnableVertexAttribArray(kUvAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    layout.positions.reserve(kReservedGlyphs * kCornersPerGlyph);
    layout.uvs.reserve(kReservedGlyphs * kCornersPerGlyph);
    for (TextLayout* lines : {&queued, &shown}) {
        lines->positions.reserve(kReservedScreenGlyphs * kCornersPerGlyph);
        lines->uvs.reserve(kReservedScreenGlyphs * kCornersPerGlyph);
    }
    // Fixed for good: set once here.
    glUseProgram(textProgram.name());
    glUniform1i(samplerLocation, kAtlasUnit);
    setWindowSize(glm::ivec2(kWindowWidth, kWindowHeight));
}

void TextRenderer::setWindowSize(glm::ivec2 pixels) {
    if (pixels == window) {
        return;
    }
    window = pixels;
    glUseProgram(textProgram.name());
    glUniform2f(glGetUniformLocation(textProgram.name(), "halfWindow"), pixels.x / 2.0f,
                pixels.y / 2.0f);
    glUseProgram(0);
}

void TextRenderer::begin() const {
    PassState state;
    state.viewport = window;
    applyPassState(state);
    glUseProgram(textProgram.name());
    glActiveTexture(GL_TEXTURE0 + kAtlasUnit);
    glBindTexture(GL_TEXTURE_2D, fontTexture.name());
}

void TextRenderer::upload(const TextLayout& corners) const {
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, byteSize(corners.positions), corners.positions.data(),
                 GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer.name());
    glBufferData(GL_ARRAY_BUFFER, byteSize(corners.uvs), corners.uvs.data(), GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void TextRenderer::draw(const char* text, int x, int y, int size, float opacity) {
    layoutText(text, x, y, size, layout);
    glUniform1f(opacityLocation, opacity);
    upload(layout);
    shownUploaded = false;

    glBindVertexArray(vertexArray.name());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(layout.positions.size()));
    glBindVertexArray(0);
}

void TextRenderer::queue(const char* text, int x, int y, int size) {
    appendText(text, x, y, size, queued);
}

void TextRenderer::drawQueued() {
    if (!shownUploaded || queued.positions != shown.positions || queued.uvs != shown.uvs) {
        upload(queued);
        std::swap(queued, shown);
        shownUploaded = true;
    }
    queued.positions.clear();
    queued.uvs.clear();
    if (!shown.positions.empty()) {
        glUniform1f(opacityLocation, 1.0f);
        glBindVertexArray(vertexArray.name());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(shown.positions.size()));
        glBindVertexArray(0);
    }
}
