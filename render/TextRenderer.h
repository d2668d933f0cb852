#pragma once

#include "render/GlObject.h"

#include <glm/glm.hpp>

#include <vector>

// Six corners per character, two counter-clockwise triangles, positions in window pixels
// (y upwards) and matching atlas coordinates.
struct TextLayout {
    std::vector<glm::vec2> positions;
    std::vector<glm::vec2> uvs;
};

// Lays out text with its first character's bottom-left corner at (x, y), size pixels tall,
// into layout (replacing what it held; its storage is reused). The font atlas holds 16 × 16
// equal cells in character-code order, code 0 at the top-left; each glyph is drawn
// advance = 0.8 × size wide. Character codes are taken as signed 8-bit values, so codes above
// 127 map, by truncating division, to coordinates outside the atlas.
void layoutText(const char* text, int x, int y, int size, TextLayout& layout);

// Width in pixels of a line of text drawn size pixels tall.
int textWidth(const char* text, int size);

// Bitmap-font text in window pixels over whatever is on screen, from the atlas "font.tga" with
// the program from "text.vert"/"text.frag"; the atlas's alpha cuts the glyphs out of their
// cells.
class TextRenderer {
public:
    // Needs a current GL context. Loads the font atlas and the text program.
    TextRenderer();

    // The window the lines are drawn in, in pixels (the size the game opens at until told).
    void setWindowSize(glm::ivec2 pixels);
    // Starts the text layer: sets its state (the window, see-through blending, depth test and
    // write as in a fresh PassState), makes the text program current and binds the atlas on
    // texture unit 0, which is left active.
    void begin() const;
    // Draws one line with what begin() set, which nothing may change in between, opacity times
    // as opaque as the atlas has it; leaves no vertex array bound. After the first lines of a
    // frame, drawing allocates nothing.
    void draw(const char* text, int x, int y, int size, float opacity = 1.0f);

    Texture fontTexture;
    Program textProgram;
    GLint samplerLocation;
    GLint opacityLocation;

private:
    VertexArray vertexArray;
    Buffer vertexBuffer;
    Buffer uvBuffer;
    TextLayout layout;
    glm::ivec2 window{0};
};
