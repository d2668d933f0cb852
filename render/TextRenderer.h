#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <vector>

// Bitmap-font text in window pixels. The font atlas holds 16 × 16 equal cells in character-code
// order, code 0 at the top-left; each glyph is drawn advance = 0.8 × size wide and size tall.
struct TextRenderer {
    GLuint fontTexture = 0;
    GLuint vertexBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint textProgram = 0;
    GLint samplerLocation = -1;
};

// The game's one text renderer, filled by initText and released by cleanupText.
extern TextRenderer textRenderer;

// Six corners per character, two counter-clockwise triangles, positions in window pixels
// (y upwards) and matching atlas coordinates.
struct TextLayout {
    std::vector<glm::vec2> positions;
    std::vector<glm::vec2> uvs;
};

// The quads drawText draws. Character codes are taken as signed 8-bit values, so codes above
// 127 map, by truncating division, to coordinates outside the atlas.
TextLayout layoutText(const char* text, int x, int y, int size);

// Needs a current GL context. Loads the font atlas and the text program.
void initText();
// Draws text with its first character's bottom-left corner at (x, y), size pixels tall, over
// whatever is on screen; the global blend state makes the atlas's transparent parts see-through.
void drawText(const char* text, int x, int y, int size);
void cleanupText();
