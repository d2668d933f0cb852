#include "render/TextRenderer.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"
#include "render/TextureLoader.h"

#include <cstring>
#include <string>

TextRenderer textRenderer;

namespace {

constexpr float kAdvancePerSize = 0.8f; // glyph width over glyph height
constexpr int kAtlasColumns = 16;       // cells per atlas row
constexpr float kCellSize = 0.0625f;    // one cell, in texture coordinates
constexpr GLuint kPositionAttribute = 0;
constexpr GLuint kUvAttribute = 1;
constexpr GLint kComponents = 2;
constexpr size_t kCornersPerGlyph = 6; // two triangles per character quad

GLsizeiptr byteSize(const std::vector<glm::vec2>& values) {
    return static_cast<GLsizeiptr>(values.size() * sizeof(glm::vec2));
}

} // namespace

TextLayout layoutText(const char* text, int x, int y, int size) {
    TextLayout layout;
    const size_t length = std::strlen(text);
    const float advance = kAdvancePerSize * static_cast<float>(size);
    const float top = static_cast<float>(y + size);
    const float bottom = static_cast<float>(y);
    // One allocation per array: the text layer is the frame's only steady allocator.
    layout.positions.reserve(length * kCornersPerGlyph);
    layout.uvs.reserve(length * kCornersPerGlyph);
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
    return layout;
}

void initText() {
    textRenderer.fontTexture = loadTexture((std::string(kTextureDir) + "font.tga").c_str());
    glGenBuffers(1, &textRenderer.vertexBuffer);
    glGenBuffers(1, &textRenderer.uvBuffer);
    textRenderer.textProgram =
        loadShaders(std::string(kShaderDir) + "text.vert", std::string(kShaderDir) + "text.frag");
    textRenderer.samplerLocation =
        glGetUniformLocation(textRenderer.textProgram, "myTextureSampler");
}

void drawText(const char* text, int x, int y, int size) {
    const TextLayout layout = layoutText(text, x, y, size);

    glBindBuffer(GL_ARRAY_BUFFER, textRenderer.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, byteSize(layout.positions), layout.positions.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, textRenderer.uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, byteSize(layout.uvs), layout.uvs.data(), GL_STATIC_DRAW);

    glUseProgram(textRenderer.textProgram);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textRenderer.fontTexture);
    glUniform1i(textRenderer.samplerLocation, 0);

    glEnableVertexAttribArray(kPositionAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, textRenderer.vertexBuffer);
    glVertexAttribPointer(kPositionAttribute, kComponents, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(kUvAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, textRenderer.uvBuffer);
    glVertexAttribPointer(kUvAttribute, kComponents, GL_FLOAT, GL_FALSE, 0, nullptr);

    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(layout.positions.size()));

    glDisableVertexAttribArray(kPositionAttribute);
    glDisableVertexAttribArray(kUvAttribute);
}

void cleanupText() {
    glDeleteBuffers(1, &textRenderer.vertexBuffer);
    glDeleteBuffers(1, &textRenderer.uvBuffer);
    glDeleteTextures(1, &textRenderer.fontTexture);
    glDeleteProgram(textRenderer.textProgram);
    // Released names may be handed out again; a second cleanup must not delete those.
    textRenderer = TextRenderer{};
}
